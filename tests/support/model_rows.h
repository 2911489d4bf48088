// Rows for the list tests: records that need no files, in groups of a results model.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/results/results_model.h"
#include "engine/text/text_helpers.h"

constexpr platform::FileTime kWritten = 133000000000000000LL;  // some day in 2022

// A record of `path` (all of it the folder part: no file is behind it).
inline std::unique_ptr<CFileRecord> Record(const std::string& path, std::int64_t size) {
    auto record = std::make_unique<CFileRecord>(platform::FindData(), path);
    record->m_nSize = size;
    record->m_dwCrc = 0x3f0;
    record->m_dwChecksum = 0x12;
    record->m_ftWritten = kWritten;
    return record;
}

// One model of the given groups (each two files or more); the files of group g have size g+7.
inline std::unique_ptr<ResultsModel> Groups(const std::vector<std::vector<std::string>>& groups) {
    auto model = std::make_unique<ResultsModel>();
    std::int64_t size = 7;
    for (const auto& paths : groups) {
        std::vector<std::unique_ptr<CFileRecord>> files;
        for (const std::string& path : paths) files.push_back(Record(path, size));
        model->AppendGroup(std::move(files));
        ++size;
    }
    return model;
}

// The date cell of every such record.
inline std::string DateText() {
    std::string text;
    FileTimeToText(&kWritten, text);
    return text;
}
