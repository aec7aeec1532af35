#pragma once
// What the batch benchmark's parts share (bench/BatchBench.cpp runs them):
// its settings from the command line, and the batch, the files of a silent
// run with the result line each should get. The parts: driving the program
// (BatchDrive.h), measuring the files' times and the engine alone
// (BatchMeasure.h), reporting the runs (BatchReport.h).
#include <cstddef>
#include <string>
#include <vector>

namespace batch {

// The program's arguments before the names: silent mode, h 50 and w 10.
constexpr char Params[] = "-s 50 10";

// What the command line sets (see bench/BatchBench.cpp).
struct ArgsS {
    std::string Opens;  // openwatch's log; empty: no times per file
    int Repeat = 3;
    int PollMs = 1;
    int TimeoutS = 120;
    std::string Trace;
    std::string Exe;
    std::string Names;
    std::string Rows;
    std::string Dir;
};

// A file's name: the part of its result line before " : ".
inline std::string nameOf(const std::string& line) {
    return line.substr(0, line.find(" : "));
}

// The files of one silent run, in the order they are named.
struct BatchS {
    std::string Command;                // the program's arguments: Params and the names
    std::vector<std::string> Expected;  // each file's result line

    std::size_t files() const { return Expected.size(); }
    std::string name(std::size_t i) const { return nameOf(Expected[i]); }
};

}  // namespace batch
