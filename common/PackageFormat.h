#pragma once
// The fixed parts of the encrypted configuration that the authoring side writes and this
// program reads. Package writers must use exactly these values.

// The text the configuration key is derived from: 121 bytes of ASCII, hashed without a
// terminator.
inline constexpr char configPassPhrase[] =
    "Quorvel edge show:\tconfiguration key\n"
    "pages, timers and screens\tstay\tsealed;\n"
    "only this saver reads what its author\tpacked\n";

// The last bytes of a self-contained screensaver: payload, its 32-bit little-endian
// length, then this tag without a terminator.
inline constexpr char selfContainedTag[] = "QVX2.6";
inline constexpr int selfContainedTagLength = sizeof selfContainedTag - 1;
inline constexpr int payloadLengthSize = 4;
