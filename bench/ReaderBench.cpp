// readerbench: how fast FileReadC delivers a wave file, against the plain
// fopen(path, "r") + fgets(buf, 48, f) loop it replaces and against the
// floor (bench::FloorPassC: one plain block read and line-feed count).
//
//   readerbench [--repeat N] [--goal X] [--header] [--rows TABLE] FILE...
//
// For each file: one untimed pass per method checksums every delivered byte
// and read boundary, and fails loudly when the two disagree; it also warms
// the file cache. Then N timed passes per method (5 by default), taken in
// turn with a floor pass, each consuming reads as cheaply as possible; the
// best pass counts. Prints one row per method and the floor's; the reader's
// row holds the ratio of the fgets
// time to the reader time (above 1: the reader is faster) and, with --goal,
// whether that ratio reaches X. Exit status 0 unless something failed; a
// missed goal is reported, not failed. With --rows, each file's comparison
// is also appended to TABLE as a row of bench/run's summary table (seconds
// and nanoseconds per read of both methods, the floor's seconds, the goal).
//
// The fgets stream is opened in text mode. Under the Win32 C runtime that
// drops the CR of each CR LF, as the reader does; natively text mode is
// binary, so the fgets loop keeps CRs and the checksum leaves them out of its
// reads only (a reader that kept a CR still fails the comparison).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchCommon.h"
#include "engine/FileReadC.h"

namespace {

using bench::baseName;
using bench::BuildName;
using bench::Clock;
using bench::Fail;
using bench::since;
using bench::StreamKeepsCR;

constexpr int FgetsSize = 48;  // the reads the reader stands in for

// FNV-1a over the delivered bytes, with the length of each read mixed in so
// that reads split at other places give another sum.
struct Checksum {
    uint64_t hash = 0xCBF29CE484222325ull;
    uint64_t reads = 0;
    uint64_t bytes = 0;
    void add(const char* text, std::size_t n, bool skipCR) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (skipCR && text[i] == '\r') continue;
            hash = (hash ^ static_cast<unsigned char>(text[i])) * 0x100000001B3ull;
            ++kept;
        }
        hash = (hash ^ (kept + 0x100)) * 0x100000001B3ull;
        bytes += kept;
        ++reads;
    }
    bool operator==(const Checksum& o) const {
        return hash == o.hash && reads == o.reads && bytes == o.bytes;
    }
};

// What a timed pass reports: the reads and a value that depends on each of
// them, so that no read can be optimised away.
struct Pass {
    uint64_t reads = 0;
    uint64_t touch = 0;
    double seconds = 0;
};

class ReaderMethod {
  public:
    explicit ReaderMethod(const char* path) : Reader(new FileReadC) {
        if (Reader->setFileName(path) != 0) throw Fail{"FileReadC: file name not accepted"};
    }
    Checksum verify() {
        Checksum sum;
        openReader();
        while (Reader->ReadLine() == 0) {
            const std::size_t len = Reader->LineLen;
            if (len == 0 || len > FileReadC::ReadMax || std::strlen(Reader->Line) != len)
                throw Fail{"FileReadC: LineLen " + std::to_string(len) + " does not match read " +
                           std::to_string(sum.reads + 1)};
            if (Reader->LineNo != sum.reads + 1)
                throw Fail{"FileReadC: LineNo " + std::to_string(Reader->LineNo) + " at read " +
                           std::to_string(sum.reads + 1)};
            sum.add(Reader->Line, len, false);
        }
        closeReader();
        return sum;
    }
    Pass timed() {
        Pass pass;
        const Clock::time_point start = Clock::now();
        openReader();
        while (Reader->ReadLine() == 0) {
            ++pass.reads;
            pass.touch += static_cast<unsigned char>(Reader->Line[0]) + Reader->LineLen;
        }
        closeReader();
        pass.seconds = since(start);
        return pass;
    }

  private:
    void openReader() {
        if (Reader->open() != 0) throw Fail{std::string("FileReadC: cannot open ") + Reader->FName};
    }
    void closeReader() {
        if (Reader->close() != 0) throw Fail{"FileReadC: close failed"};
    }
    std::unique_ptr<FileReadC> Reader;  // 64 KiB: kept off the stack
};

class FgetsMethod {
  public:
    explicit FgetsMethod(const char* path) : Path(path) {}
    Checksum verify() {
        Checksum sum;
        std::FILE* f = openStream();
        char buf[FgetsSize];
        while (std::fgets(buf, FgetsSize, f) != nullptr)
            sum.add(buf, std::strlen(buf), StreamKeepsCR);
        closeStream(f);
        return sum;
    }
    Pass timed() {
        Pass pass;
        const Clock::time_point start = Clock::now();
        std::FILE* f = openStream();
        char buf[FgetsSize];
        while (std::fgets(buf, FgetsSize, f) != nullptr) {
            ++pass.reads;
            pass.touch += static_cast<unsigned char>(buf[0]);
        }
        closeStream(f);
        pass.seconds = since(start);
        return pass;
    }

  private:
    std::FILE* openStream() {
        std::FILE* f = std::fopen(Path, "r");
        if (f == nullptr) throw Fail{std::string("fgets: cannot open ") + Path};
        return f;
    }
    void closeStream(std::FILE* f) {
        const bool failed = std::ferror(f) != 0;
        if (std::fclose(f) != 0 || failed)
            throw Fail{std::string("fgets: reading failed: ") + Path};
    }
    const char* Path;
};

long long fileSize(const char* path) {
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) throw Fail{std::string("cannot open ") + path};
    long long size = 0;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) != 0) size += static_cast<long long>(n);
    std::fclose(f);
    return size;
}

void printHeader() {
    std::printf("%-7s %-24s %-10s %10s %9s %9s  %s\n", "build", "file", "method", "reads", "best s",
                "MB/s", "fgets/reader");
}

void printRow(const char* file, const char* method, uint64_t reads, double seconds, long long size,
              const std::string& ratio) {
    std::printf("%-7s %-24s %-10s %10llu %9.3f %9.1f  %s\n", BuildName, file, method,
                static_cast<unsigned long long>(reads), seconds, size / seconds / 1e6,
                ratio.c_str());
}

// Keeps the faster of two passes over the same file; both must have seen the
// same reads.
void keepBest(Pass& best, const Pass& pass, const char* method, const char* path) {
    if (pass.reads != best.reads || pass.touch != best.touch)
        throw Fail{std::string(method) + ": two passes over " + path + " saw different reads"};
    if (pass.seconds < best.seconds) best.seconds = pass.seconds;
}

void benchFile(const char* path, int repeat, double goal, const char* rows) {
    const long long size = fileSize(path);
    ReaderMethod reader(path);
    FgetsMethod stream(path);

    const Checksum readerSum = reader.verify();
    const Checksum streamSum = stream.verify();
    if (!(readerSum == streamSum)) {
        char detail[200];
        std::snprintf(detail, sizeof detail,
                      "reads %llu vs %llu, bytes %llu vs %llu, checksum %016llx vs %016llx",
                      static_cast<unsigned long long>(readerSum.reads),
                      static_cast<unsigned long long>(streamSum.reads),
                      static_cast<unsigned long long>(readerSum.bytes),
                      static_cast<unsigned long long>(streamSum.bytes),
                      static_cast<unsigned long long>(readerSum.hash),
                      static_cast<unsigned long long>(streamSum.hash));
        throw Fail{std::string("FileReadC and fgets deliver different reads of ") + path + ": " +
                   detail};
    }

    Pass readerBest = reader.timed();
    Pass streamBest = stream.timed();
    double floorBest = bench::floorSeconds({path}, 1);
    if (readerBest.reads != readerSum.reads || streamBest.reads != streamSum.reads)
        throw Fail{
            std::string("a timed pass saw another number of reads than the checked one in ") +
            path};
    for (int i = 1; i < repeat; ++i) {
        keepBest(readerBest, reader.timed(), "FileReadC", path);
        keepBest(streamBest, stream.timed(), "fgets", path);
        floorBest = std::min(floorBest, bench::floorSeconds({path}, 1));
    }

    const double ratio = streamBest.seconds / readerBest.seconds;
    const std::string ratioShown = bench::ratioText(ratio, goal);
    printRow(baseName(path), "FileReadC", readerBest.reads, readerBest.seconds, size,
             ratioShown.c_str());
    printRow(baseName(path), "fgets", streamBest.reads, streamBest.seconds, size, "");
    printRow(baseName(path), "floor", readerBest.reads, floorBest, size, "");
    std::fflush(stdout);
    // Every line of a wave file fits one read: nanoseconds per read are per line.
    const double reads = static_cast<double>(readerBest.reads);
    bench::RowS row{"reader",  BuildName,          baseName(path),
                    "ns/line", readerBest.seconds, readerBest.seconds * 1e9 / reads,
                    floorBest, streamBest.seconds, streamBest.seconds * 1e9 / reads};
    if (goal > 0) row.PlainGoal = goal;
    bench::writeRow(rows, row);
}

int usage() {
    std::fprintf(stderr,
                 "usage: readerbench [--repeat N] [--goal X] [--header] [--rows TABLE] FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bench::ArgsS args;
    if (!args.parse(argc, argv, false)) return usage();
    if (args.Header) printHeader();
    try {
        for (const char* path : args.Files) benchFile(path, args.Repeat, args.Goal, args.Rows);
    } catch (const Fail& fail) {
        std::fflush(stdout);
        std::fprintf(stderr, "readerbench: FAILED: %s\n", fail.what.c_str());
        return 1;
    }
    return 0;
}
