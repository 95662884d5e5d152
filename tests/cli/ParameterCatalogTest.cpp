#include <gtest/gtest.h>

#include "core/catalog/ParameterCatalog.h"
#include "core/protocol/CommandTable.h"
#include "core/protocol/ControlTable.h"
#include "support/ScriptedDialogs.h"

namespace {

struct Catalog {
    ScriptedDialogs dialogs;
    CommandTable commands;
    ControlTable table{dialogs};
    ParameterCatalog catalog{table, commands};

    Parameter Find(const char *name)
    {
        const ParameterLookup lookup = catalog.Find(QString::fromUtf8(name));
        EXPECT_TRUE(lookup.parameter.has_value()) << name << ": " << lookup.error.toStdString();
        return lookup.parameter.value_or(Parameter{});
    }
};

} // namespace

TEST(ParameterCatalog, NamesByMnemonicLabelAndGroup)
{
    Catalog c;
    struct Case {
        const char *name;
        const char *mnemonic;
    };
    const Case cases[] = {
        {"GA", "GA"},
        {"CL Configuration", "CLCFG"},
        {"cl configuration", "CLCFG"},
        {"Image format/Width", "WTC"},
        {"white balance/width", "AWBW"},
        {"Exposure Time", "PE"},
        // SFNC names, from the table the GenApi description is generated from.
        {"ExposureTime", "PE"},
        {"Gain", "GA"},
        {"Gain[Red]", "GAR"},
        {"BlackLevel[Blue]", "BLB"},
        {"PixelFormat", "BA"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(c.Find(k.name).mnemonic, QString::fromLatin1(k.mnemonic)) << k.name;

    // Mnemonics are exact: "ga" is no mnemonic and no label.
    EXPECT_FALSE(c.catalog.Find(QStringLiteral("ga")).parameter);
    EXPECT_FALSE(c.catalog.Find(QStringLiteral("Gain[Purple]")).parameter);
    const ParameterLookup shared = c.catalog.Find(QStringLiteral("Width"));
    EXPECT_FALSE(shared.parameter);
    EXPECT_TRUE(shared.error.contains(QStringLiteral("\"Image format/Width\""))) << shared.error.toStdString();
    EXPECT_TRUE(shared.error.contains(QStringLiteral("\"White Balance/Width\""))) << shared.error.toStdString();
}

TEST(ParameterCatalog, ValuesAreCheckedBeforeTheyGo)
{
    Catalog c;
    struct Case {
        const char *name;
        const char *text;
        std::optional<std::int32_t> value;
        const char *error;
    };
    const Case cases[] = {
        {"CLCFG", "Eighty", 4, ""},   // an entry whose code is not its position
        {"CLCFG", "medium", 1, ""},
        {"CLCFG", "4", 4, ""},        // a code of the list
        {"CLCFG", "3", std::nullopt, "give one of Base, Medium, Full, Eighty"},
        {"CLCFG", "Ninety", std::nullopt, "give one of"},
        {"GA", "100", 100, ""},
        {"GA", "3200", 3200, ""},
        {"GA", "99", std::nullopt, "outside the limits 100 to 3200"},
        {"GA", "3201", std::nullopt, "outside the limits"},
        {"GA", "1e3", std::nullopt, "not a number"},
        {"GA", "99999999999", std::nullopt, "not a number"},
        {"GA", " 150 ", 150, ""},
    };
    for (const Case &k : cases) {
        const ValueLookup result = c.catalog.ParseValue(c.Find(k.name), QString::fromUtf8(k.text));
        EXPECT_EQ(result.value, k.value) << k.name << "=" << k.text;
        EXPECT_TRUE(result.error.contains(QString::fromUtf8(k.error))) << k.name << "=" << k.text << ": "
                                                                       << result.error.toStdString();
    }
    EXPECT_EQ(c.catalog.ValueText(c.Find("CLCFG"), 4), QStringLiteral("Eighty"));
    EXPECT_EQ(c.catalog.ValueText(c.Find("CLCFG"), 3), QStringLiteral("3"));
    EXPECT_EQ(c.catalog.ValueText(c.Find("GA"), 150), QStringLiteral("150"));
}
