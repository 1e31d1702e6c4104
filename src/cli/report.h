#pragma once
// What a subcommand answers, and its three ways out: a readable table, CSV and JSON.
//
// Results are the window's result fields (ResultField: name, row caption, value in its unit
// without prefix, that unit, the text and unit label as the window shows them). Lists,
// spectra and scans are columns: a caption, a unit and one cell per row, each cell a text
// and, for numeric columns, a number (NaN for an empty cell).
#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/result_field.h"

namespace lumerad::cli {

struct Column {
    std::string name;
    std::string unit;
    bool numeric = true;
    std::vector<double> values;      // numeric columns
    std::vector<std::string> texts;  // every column: the cell as printed
    bool unitsInTexts = false;       // each cell carries its own (prefixed) unit: no unit in the header
};

struct Report {
    std::string command;
    std::vector<std::pair<std::string, std::string>> inputs;  // option -> text, in order
    ResultFields results;
    std::vector<Column> columns;

    void input(const std::string& name, const std::string& text) { inputs.emplace_back(name, text); }
};

// A numeric column whose cells are written as the data files write numbers (the
// 23-character real field), so a column and the window's file hold the same texts.
Column dataColumn(const std::string& name, const std::string& unit, const std::vector<double>& values);

enum class OutputFormat { Table, Csv, Json };

// The report as the format prints it (UTF-8, lines end with "\n").
std::string formatReport(const Report& r, OutputFormat format);

}  // namespace lumerad::cli
