// The disc manifest's reader and its digest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "qvcheck/disc_manifest.h"
#include "qvcheck/sha256.h"

namespace {

TEST(Sha256, KnownDigestsWhateverThePieces)
{
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    Sha256 pieces;
    const std::string million(1000000, 'a');
    for (size_t at = 0, piece = 1; at < million.size(); at += piece, piece = piece * 3 % 997 + 1)
        pieces.Add(million.data() + at, std::min(piece, million.size() - at));
    EXPECT_EQ(pieces.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// A manifest of `lines` with its check line.
std::string Checked(const std::string& lines)
{
    return lines + DiscManifestCheckWord + " " + Sha256Hex(lines) + "\r\n";
}

const std::string Digest(64, 'a');

TEST(DiscManifest, EntriesAndEveryWayOfBeingUntrusted)
{
    const std::string lines = "; a comment\r\n" + Digest + " 12 QVSETUP.EXE\r\n" + Digest +
                              " 0 DATA\\\x95\x5C\\A B.TXT\r\n";
    const DiscManifest good = ReadDiscManifest(Checked(lines));
    ASSERT_EQ(good.fault, ManifestFault::None);
    ASSERT_EQ(good.entries.size(), 2u);
    EXPECT_EQ(good.entries[0].size, 12u);
    EXPECT_EQ(good.entries[1].path, "DATA\\\x95\x5C\\A B.TXT");   // 表 is 95 5C: no separator
    EXPECT_EQ(good.entries[1].line, 3);

    std::string edited = Checked(lines);
    edited[lines.find("12")] = '3';
    EXPECT_EQ(ReadDiscManifest(edited).fault, ManifestFault::CheckFails);
    const std::string whole = Checked(lines);
    EXPECT_EQ(ReadDiscManifest(whole.substr(0, whole.size() - 5)).fault, ManifestFault::NoCheckLine);
    EXPECT_EQ(ReadDiscManifest(lines).fault, ManifestFault::NoCheckLine);
    EXPECT_EQ(ReadDiscManifest(Checked(lines) + "; after\r\n").fault, ManifestFault::NoCheckLine);
    const DiscManifest twice = ReadDiscManifest(Checked(lines + Digest + " 1 qvsetup.exe\r\n"));
    EXPECT_EQ(twice.fault, ManifestFault::PathTwice);
    EXPECT_EQ(twice.faultLine, 4);
    for (const std::string& bad : {Digest + " 1 ..\\X\r\n", Digest + " -1 X\r\n", Digest + " 1 A\\\\B\r\n",
                                  std::string(63, 'a') + " 1 X\r\n", Digest + " 1\r\n"})
        EXPECT_EQ(ReadDiscManifest(Checked(lines + bad)).fault, ManifestFault::BadLine) << bad;
}

} // namespace
