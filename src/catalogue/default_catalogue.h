// The built-in catalogue, written to "crc.ini" when that file is missing.
#pragma once

#include <array>

constexpr std::array<const char*, 32> kDefaultCatalogue = {
    "#",
    "# CRC file for Quillmore",
    "#",
    "f071; 00,21; Impr. LOROM Orig",
    "a930; 01;    Impr. HIROM Orig",
    "1741; 02,20; ProfDOS GCR",
    "fa72; 03,22; ProfDOS HIROM",
    "a7af; 04;    SpeedDOS expert",
    "15ec; 05,1d; DolphinDOS Ext",
    "2f60; 06,1e; DolphinDOS LOROM",
    "28e3; 07,1f; DolphinDOS HIROM",
    "713c; 08;    SpeedDOS 35t LOROM",
    "9594; 09;    SpeedDOS 35t HIROM",
    "360a; 0A;    SpeedDOS 40T LOROM",
    "d3da; 0B,18; SpeedDOS 40T HIROM",
    "2280; 0C;    S-JiffyDOS GCR",
    "3a59; 0D;    S-JiffyDOS Ext",
    "f043; 0E;    S-JiffyDOS LOROM",
    "0c87; 0F;    S-JiffyDOS HIROM",
    "514f; 10;    JiffyDOS LOROM",
    "ecd1; 11;    JiffyDOS HIROM",
    "3f29; 12;    PrologicDOS Ext",
    "4783; 13;    PrologicDOS HIROM",
    "bd06; 14;    Original LOROM",
    "aaa5; 15;    Original HIROM",
    "5d61; 16;    TurboAccess 3.4",
    "3b6d; 17;    TurboAccess 2.8 (TT)",
    "1fd0; 19;    TurboAccess 2.7",
    "acf4; 1A;    Supercard+",
    "8442; 1B;    GCR HW-Decoder Page",
    "d26a; 23;    QuickDOS Ext",
    "40e2; 24;    QuickDOS HIROM",
};
