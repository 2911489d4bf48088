// A file of a joint read with a fault planted on the way: something done to it after its first
// read, its reads cut short, its end check failing. Wraps the disk's own source.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "engine/search/joint_reader.h"

class FaultySource : public BlockSource {
public:
    explicit FaultySource(std::unique_ptr<BlockSource> inner) : m_inner(std::move(inner)) {}

    long ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t want,
                int* error) override {
        const long got = m_inner->ReadAt(offset, buffer, want, error);
        if (afterFirstRead) {
            const std::function<void()> after = std::move(afterFirstRead);
            afterFirstRead = nullptr;
            after();
        }
        return cutShort && got > 0 ? got - 1 : got;
    }
    int CheckEnd(std::uint64_t end) override {
        return endError != 0 ? endError : m_inner->CheckEnd(end);
    }

    std::function<void()> afterFirstRead;
    bool cutShort = false;
    int endError = 0;

private:
    std::unique_ptr<BlockSource> m_inner;
};

// Opens files from the disk, handing each opened source to `plant` (which may wrap it).
inline BlockOpener PlantingOpener(
    std::function<std::unique_ptr<BlockSource>(const CFileRecord&, std::unique_ptr<BlockSource>)>
        plant) {
    return [plant](const CFileRecord& record, int* error) -> std::unique_ptr<BlockSource> {
        std::unique_ptr<BlockSource> source = DiskBlockOpener()(record, error);
        if (!source) return source;
        return plant(record, std::move(source));
    };
}
