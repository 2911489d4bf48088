// A catalog: what a search learnt of every file under its paths (path, size, last-write time
// and the XXH3-128 of the whole contents), kept in a file so that a drive that is not plugged
// in can still be compared with. Files here whose bytes a catalog holds are listed with the
// catalog's entries; since those files are not here, their bytes are never compared, and the
// only action on such a group is a move.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/results/results_model.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/progress_sink.h"
#include "engine/store/fingerprint_cache.h"

constexpr int kCatalogFormatVersion = 1;

struct CatalogFile {
    std::string path;
    std::int64_t size = 0;
    platform::FileTime written = 0;  // UTC
    std::uint64_t hashHigh = 0, hashLow = 0;
};

struct Catalog {
    std::string name;                 // shown beside its entries: the catalog file's name
    platform::FileTime made = 0;      // local time it was written
    std::vector<std::string> paths;   // the start paths it was made of
    std::vector<CatalogFile> files;   // ordered by folder
};

// What the whole contents of one file came to: its XXH3-128, CRC-32 and byte sum, read
// through one handle checked to be the file the walk found (identity, size and last-write time)
// and to end where it did; a file the cache read whole before is answered by the cache.
struct WholeFacts {
    std::uint64_t hashHigh = 0, hashLow = 0;
    std::uint32_t crc = 0, sum = 0;
    std::uint64_t device = 0, inode = 0;  // the file read (a Windows walk finds no identity)
};

// Walks `options` (paths, mask and filters) and hashes every file, on every core. The files
// that could not be read are named to `progress` (SkipKind::kFile) and left out. False when
// stopped.
bool MakeCatalog(const SearchOptions& options, ProgressSink* progress, FingerprintCache* cache,
                 Catalog* out);

// The catalog as its file holds it: JSON, the files under their folders.
std::string FormatCatalogDocument(const Catalog& catalog);

// Reads a catalog file's text. False with the reason in *error for anything that is not a
// whole, valid catalog of a version this program reads; nothing in `text` is trusted.
bool ReadCatalogDocument(const std::string& text, Catalog* out, std::string* error);

// The files under `options`'s paths whose bytes `catalog` holds (same size and XXH3-128), each
// group headed by the catalog's entries (kStandsInCatalog, their paths the catalog's) and then
// the files here in the order found. Only files of a size the catalog holds are read. False
// when stopped.
bool CompareWithCatalog(const Catalog& catalog, const SearchOptions& options,
                        ProgressSink* progress, FingerprintCache* cache, ResultsModel* out);
