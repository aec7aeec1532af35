#include "textui/ResultTableC.h"

#include <cstring>

const char ResultTableC::Header[] = "file,result,duration_s,spikes,rate_per_s,reason\r\n";

namespace {

const char* const ResultWords[] = {"counted", "checked", "refused", "invalid name"};

// text as one field, in quotes when it holds a comma, a quote or a line end,
// then after (the comma before the next field, or the row's end).
bool appendField(GrowTextC& row, const char* text, const char* after) {
    if (std::strpbrk(text, ",\"\r\n") == nullptr) return row.append("%s%s", text, after);
    if (!row.append("\"")) return false;
    for (const char* quote; (quote = std::strchr(text, '"')) != nullptr; text = quote + 1)
        if (!row.append("%.*s\"\"", static_cast<int>(quote - text), text)) return false;
    return row.append("%s\"%s", text, after);
}

}  // namespace

// The row is composed whole before it joins the others, so a row that
// cannot be had leaves none of it behind.
void ResultTableC::add(const FileOutcomeS& outcome) {
    Row.clear();
    bool made = appendField(Row, outcome.Name, ",") && Row.append("%s,", ResultWords[outcome.Kind]);
    if (outcome.Kind == FileOutcomeS::Counted)
        made = made && Row.append("%.17g,%u,%.17g,", outcome.Duration,
                                  static_cast<unsigned>(outcome.Spikes), outcome.Rate);
    else
        made = made && Row.append(",,,");
    made = made && appendField(Row, outcome.Reason, "\r\n");
    if (!made || !Rows.append("%s", Row.c_str())) Lost = true;
}

void ResultTableC::clear() {
    Rows.clear();
    Lost = false;
}
