// tests/stream_write_test.cpp: the writers' stream write without the lock,
// which copies what fits straight into the stream's buffer. Whatever the
// buffering, and mixed with seeks, reads and writes larger than the buffer,
// the file must end up with exactly the bytes of the same calls made with
// fwrite.
#include "file_bytes.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// One step of a run: a write (of bytes or, with units, of 2-byte units), a
// seek to an absolute position, or a read of some bytes.
struct Step {
    enum Kind { kWrite, kWriteUnits, kSeek, kRead } kind;
    size_t size;
};

// The file as the steps leave it, with a position like the stream's.
struct Model {
    std::string bytes;
    size_t at = 0;

    void Write(const std::string& data)
    {
        if (bytes.size() < at + data.size())
            bytes.resize(at + data.size());
        bytes.replace(at, data.size(), data);
        at += data.size();
    }
};

std::string Pattern(size_t n, size_t seed)
{
    std::string data(n, '\0');
    for (size_t i = 0; i < n; ++i)
        data[i] = static_cast<char>('A' + (i * 7 + seed) % 26);
    return data;
}

const std::vector<Step> kSteps = {
    {Step::kWrite, 0},      {Step::kWrite, 5},     {Step::kWrite, 1},      {Step::kWriteUnits, 3},
    // After a seek and one byte, units whose count fits the room left in a
    // buffer of 4 or 64 KiB, but not their bytes.
    {Step::kSeek, 0},       {Step::kWrite, 1},     {Step::kWriteUnits, 2500},
    {Step::kSeek, 0},       {Step::kWrite, 1},     {Step::kWriteUnits, 40000},
    {Step::kSeek, 2},       {Step::kWrite, 2},     {Step::kRead, 3},       {Step::kSeek, 12},
    {Step::kWrite, 100},    {Step::kWrite, 70000}, {Step::kWrite, 30},     {Step::kSeek, 0},
    {Step::kRead, 40000},   {Step::kSeek, 40000},  {Step::kWrite, 65536},  {Step::kWriteUnits, 40000},
    {Step::kSeek, 7},       {Step::kWrite, 9},     {Step::kSeek, 300000},  {Step::kWrite, 4},
};

TEST(StreamWrite, GivesTheBytesOfFwriteUnderEveryBuffering)
{
    const int modes[] = {-1, _IOFBF, _IOLBF, _IONBF};
    for (int mode : modes) {
        SCOPED_TRACE("buffering " + std::to_string(mode));
        TempDir dir;
        WString path = dir.Path(WSTR("out.bin"));
        FILE* stream = _wfsopen(path.c_str(), WSTR("w+b"), _SH_DENYRW);
        ASSERT_NE(nullptr, stream);
        // -1: the buffer the stream was opened with.
        if (mode >= 0) {
            ASSERT_EQ(0, setvbuf(stream, nullptr, mode, mode == _IONBF ? 0 : 4096));
        }
        Model model;
        size_t seed = 0;
        for (const Step& step : kSteps) {
            SCOPED_TRACE("step of size " + std::to_string(step.size) + " at " + std::to_string(model.at));
            std::string data = Pattern(step.kind == Step::kWriteUnits ? 2 * step.size : step.size, ++seed);
            switch (step.kind) {
            case Step::kWrite:
                ASSERT_EQ(step.size, _fwrite_nolock(data.data(), 1, step.size, stream));
                model.Write(data);
                break;
            case Step::kWriteUnits:
                ASSERT_EQ(step.size, _fwrite_nolock(data.data(), 2, step.size, stream));
                model.Write(data);
                break;
            case Step::kSeek:
                ASSERT_EQ(0, _fseeki64(stream, static_cast<int64_t>(step.size), SEEK_SET));
                if (model.bytes.size() < step.size)
                    model.bytes.resize(step.size);
                model.at = step.size;
                break;
            case Step::kRead: {
                // Reading after writing, and writing after reading, each
                // need a seek in between.
                ASSERT_EQ(0, _fseeki64(stream, static_cast<int64_t>(model.at), SEEK_SET));
                std::string read(step.size, '\0');
                size_t got = fread(&read[0], 1, step.size, stream);
                ASSERT_EQ(model.bytes.substr(model.at, step.size), read.substr(0, got));
                model.at += got;
                ASSERT_EQ(0, _fseeki64(stream, static_cast<int64_t>(model.at), SEEK_SET));
                break;
            }
            }
            ASSERT_EQ(static_cast<int64_t>(model.at), _ftelli64(stream));
        }
        ASSERT_EQ(0, fclose(stream));
        EXPECT_EQ(model.bytes, ReadBytes(NativePath(path)));
    }
}

} // namespace
