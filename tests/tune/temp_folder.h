// File helpers for the tests: a fresh folder under the system's temporary folder for one
// test, removed afterwards, whole-file and whole-block bytes, and bytes to fill them with.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder()
    {
        static int counter = 0;
        auto base = std::filesystem::temp_directory_path();
        do
            path_ = base / ("t6test-" + std::to_string(std::rand()) + "-" + std::to_string(++counter));
        while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    // A path in the folder, in the platform's own form.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    size_t EntryCount() const
    {
        auto entries = std::filesystem::directory_iterator(path_);
        return size_t(std::distance(begin(entries), end(entries)));
    }

private:
    std::filesystem::path path_;
};

typedef std::vector<uint8_t> Bytes;

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of a block as they lie in memory, which is how records and files store them.
template <class Block>
Bytes BytesOf(const Block& block)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&block);
    return Bytes(p, p + sizeof block);
}

// Bytes that are never 0xFF, different at every place, so a lost, moved, skipped or ANDed
// block shows.
inline Bytes Pattern(size_t size, uint8_t seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t((i * 7 + (i >> 8) + seed) % 255);
    return bytes;
}
