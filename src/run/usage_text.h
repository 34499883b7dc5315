// The usage text, one format string per entry, printed in order.
#pragma once

#include <array>

constexpr std::array<const char*, 9> kUsageText = {
    "Usage:\n Quillmore-flashtool ROMfile  [-opt1...-optM]\n",
    "\nOptions:\n",
    " -a            ... all memFlashBank_xx.bin files\n",
    " -b            ... write block binary files\n",
    " -sbXX         ... set bank to avoid CRC check (XX=bank)\n",
    " -t            ... write flash file 512KB (for TL866)\n",
    " -oFILENAME    ... set name of output file\n",
    " -vN           ... set verbosity N\n",
    "\nExample:\n Quillmore-flashtool DD2.bin\n",
};
