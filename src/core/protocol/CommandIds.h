#pragma once

#include <string_view>

#include "core/protocol/CommandRows.h"

// Every command that the code names, by the mnemonic it sends. The numbers are positions in
// the command table; each one is checked against the table's mnemonic when it is compiled,
// so a shifted row cannot send the wrong command.

namespace CommandId {

constexpr bool SendsMnemonic(int id, std::string_view mnemonic)
{
    return id >= 0 && id < kCommandCount && kCommandRows[id].mnemonic == mnemonic;
}

#define QN_COMMAND_ID(name, id) \
    inline constexpr int name = id; \
    static_assert(SendsMnemonic(name, #name), "command " #id " is not " #name)

QN_COMMAND_ID(VN, 3);
QN_COMMAND_ID(FPVN, 4);
QN_COMMAND_ID(ID, 5);
QN_COMMAND_ID(UD, 6);
QN_COMMAND_ID(DVN, 7);
QN_COMMAND_ID(MD, 8);
QN_COMMAND_ID(DV, 9);
QN_COMMAND_ID(CBDRT, 11);
QN_COMMAND_ID(CRS00, 12);
QN_COMMAND_ID(TR, 18);
QN_COMMAND_ID(PE, 20);
QN_COMMAND_ID(PER, 21);
QN_COMMAND_ID(PEG, 22);
QN_COMMAND_ID(PEB, 23);
QN_COMMAND_ID(LR, 24);
QN_COMMAND_ID(LRMIN, 25);
QN_COMMAND_ID(PEMAX, 26);
QN_COMMAND_ID(PEMIN, 27);
QN_COMMAND_ID(WTC, 29);
QN_COMMAND_ID(OFC, 30);
QN_COMMAND_ID(HB, 31);
QN_COMMAND_ID(BA, 33);
QN_COMMAND_ID(CLCFG, 34);
QN_COMMAND_ID(CLCF, 35);
QN_COMMAND_ID(AGC, 42);
QN_COMMAND_ID(AGCS, 46);
QN_COMMAND_ID(GA, 47);
QN_COMMAND_ID(GAR, 48);
QN_COMMAND_ID(GAB, 49);
QN_COMMAND_ID(GAG, 50);
QN_COMMAND_ID(AWB, 55);
QN_COMMAND_ID(AWBW, 56);
QN_COMMAND_ID(AWBO, 57);
QN_COMMAND_ID(AWRS, 58);
QN_COMMAND_ID(AHRS, 59);
QN_COMMAND_ID(SDM, 64);
QN_COMMAND_ID(RS, 66);
QN_COMMAND_ID(SDRS, 67);
QN_COMMAND_ID(SDDS, 68);
QN_COMMAND_ID(SDDI, 69);
QN_COMMAND_ID(SDD, 70);
QN_COMMAND_ID(SDDU, 71);
QN_COMMAND_ID(SDDA, 72);
QN_COMMAND_ID(PGR, 74);
QN_COMMAND_ID(PGS, 75);
QN_COMMAND_ID(PBR, 77);
QN_COMMAND_ID(PBS, 78);
QN_COMMAND_ID(LUTIG, 96);
QN_COMMAND_ID(LUTIR, 97);
QN_COMMAND_ID(LUTIB, 98);
QN_COMMAND_ID(LUTG, 99);
QN_COMMAND_ID(LUTR, 100);
QN_COMMAND_ID(LUTB, 101);
QN_COMMAND_ID(TMP0, 103);
QN_COMMAND_ID(CACM, 144);
QN_COMMAND_ID(CACSM0, 145);
QN_COMMAND_ID(CACR0, 149);
QN_COMMAND_ID(CACRR0, 157);
QN_COMMAND_ID(CACMT0, 165);
QN_COMMAND_ID(CACR0R0, 169);
QN_COMMAND_ID(CACRR0R1, 241);
QN_COMMAND_ID(CACC0R, 305);
QN_COMMAND_ID(CACRC0R, 313);
QN_COMMAND_ID(CACS, 321);
QN_COMMAND_ID(CE0, 366);
QN_COMMAND_ID(CR0, 368);
QN_COMMAND_ID(CV0, 369);
QN_COMMAND_ID(CS0, 370);
QN_COMMAND_ID(LD, 386);
QN_COMMAND_ID(SA, 387);
QN_COMMAND_ID(EA, 388);
QN_COMMAND_ID(SA00, 389);
QN_COMMAND_ID(ULCK, 391);
QN_COMMAND_ID(ID00, 392);
QN_COMMAND_ID(MD00, 393);
QN_COMMAND_ID(BAS00, 394);
QN_COMMAND_ID(SDR00, 435);
QN_COMMAND_ID(SDS00, 436);
QN_COMMAND_ID(PGR00, 437);
QN_COMMAND_ID(PGS00, 438);
QN_COMMAND_ID(PBR00, 439);
QN_COMMAND_ID(PBS00, 440);
QN_COMMAND_ID(XMLVR, 441);
QN_COMMAND_ID(DV00, 442);

#undef QN_COMMAND_ID

// The row without a mnemonic, which the reply parser uses for lines it cannot place.
inline constexpr int Empty = 322;
static_assert(SendsMnemonic(Empty, ""));

// Counter n is answered by CEn, CEAn, CRn, CVn and CSn from CE0 + 5n.
inline constexpr int kCounterStride = 5;

} // namespace CommandId
