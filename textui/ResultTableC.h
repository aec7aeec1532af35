#pragma once
// The run's files as a spreadsheet table, kept beside the output window's
// text: one row per file in the order the window reports them, made as the
// pass tells each file's outcome. Durations and rates keep every digit of
// the doubles the result lines round (%.17g reads back as the same double).
// The rows are kept as CSV text (RFC 4180: a field with a comma, a quote or a
// line end goes in quotes, its quotes doubled; CR LF after each row).
#include <cstddef>

#include "engine/GrowTextC.h"
#include "engine/OutputC.h"

class ResultTableC {
  public:
    enum Sizes { RowStartRoom = 256, RowsStartRoom = 4096 };
    // The header row, CR LF included.
    static const char Header[];

    ResultTableC() : Row(RowStartRoom), Rows(RowsStartRoom), Lost(false) {}

    // The file's row after the others.
    void add(const FileOutcomeS& outcome);
    // No rows, none lost: a new pass begins.
    void clear();
    // The rows without the header, and their length.
    const char* rows() const { return Rows.c_str(); }
    std::size_t length() const { return Rows.length(); }
    // False once a row could not be kept (its memory could not be had).
    bool complete() const { return !Lost; }

  private:
    GrowTextC Row;  // where one row is composed before it joins the others
    GrowTextC Rows;
    bool Lost;
};
