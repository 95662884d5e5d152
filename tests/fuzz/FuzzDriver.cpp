// Runs a fuzz target (a file that defines LLVMFuzzerTestOneInput, the libFuzzer entry) over a
// bounded number of generated inputs: random bytes, and text built from the characters that
// the tool's file formats give meaning to, with long lines, missing line ends and binary
// bytes mixed in. Deterministic for a given seed, so a failure can be run again.
//   fuzz_<name> [inputs=5000] [seed=1]
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::size_t Below(std::size_t n) { return n ? static_cast<std::size_t>(Next() % n) : 0; }

private:
    std::uint64_t state_;
};

const std::string kMeaningful = "0123456789012345678901234567890123456789,,,,===--..  \t\r\n\n\n"
                                "ABCDEFGHIJKLMNOPQRSTUVWXYZMDGACACMSDDGammaData(RGB)ShadingData";

std::string randomBytes(Random &random)
{
    std::string input(random.Below(2048), '\0');
    for (char &c : input)
        c = static_cast<char>(random.Next() & 0xFF);
    return input;
}

std::string formatLike(Random &random)
{
    std::string input;
    const std::size_t lines = random.Below(random.Below(8) == 0 ? 1200 : 40);
    for (std::size_t line = 0; line < lines; ++line) {
        const std::size_t length = random.Below(20) == 0 ? 100 + random.Below(600) : random.Below(24);
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t pick = random.Below(40);
            if (pick == 0)
                input += static_cast<char>(random.Next() & 0xFF); // a binary byte
            else
                input += kMeaningful[random.Below(kMeaningful.size())];
        }
        switch (random.Below(6)) {
        case 0: break;                  // no line end
        case 1: input += "\n"; break;
        default: input += "\r\n"; break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char **argv)
{
    const long inputs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 5000;
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    Random random(seed);
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (long n = 0; n < inputs; ++n) {
        const std::string input = random.Below(4) == 0 ? randomBytes(random) : formatLike(random);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
    }
    std::printf("%ld inputs, seed %llu: no failure\n", inputs, seed);
    return 0;
}
