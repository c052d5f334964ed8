// The import benchmarks' corpus: 100,000 items of mixed Chinese (GBK) and ASCII text drawn
// from one fixed seed, written as an MBCS or WCS text resource file or as a GNU .po file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ril_bench {

constexpr std::size_t kCorpusItems = 100000;

struct CorpusItem {
    std::int32_t id = 0; // ascending from 1001 with gaps; -1 asks the importer for a new ID
    std::string macro;   // MSG_000001 .. MSG_100000, one per item in file order
    std::string gbk;     // the text in GBK (code page 936)
    std::u16string wide; // the same text in UTF-16
};

// The corpus: always the same items, on every platform.
std::vector<CorpusItem> BuildCorpus();

// The files as the exporter lays them out: banner, date line, then one block per item.
std::string MbcsTextFile(std::vector<CorpusItem> const &items);
std::string Utf8TextFile(std::vector<CorpusItem> const &items); // MBCS, code page 65001
std::string WcsTextFile(std::vector<CorpusItem> const &items);  // UTF-16LE with FF FE
// A UTF-8 .po file: a header entry, then msgid "<macro>" msgstr "<text>" per item.
std::string PoFile(std::vector<CorpusItem> const &items);

bool WriteWholeFile(std::string const &path, std::string const &bytes);

// Writes strings.txt (MBCS, GBK), strings_utf8.txt (MBCS, UTF-8), strings_wide.txt (WCS) and
// strings.po into an existing folder.
bool WriteCorpusFiles(std::string const &folder);

} // namespace ril_bench
