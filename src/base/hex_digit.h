// Hexadecimal digit value, shared by the command line and the catalogue parser.
#pragma once

// Returns: 0..15 for "0"-"9", "a"-"f", "A"-"F"; -1 for any other character.
int hexDigitValue(char c);
