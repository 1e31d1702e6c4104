#pragma once
// The data files (spectra, scans, form factors): lines of numbers in 23-character fields or
// of text, each ended by CR LF, written to a file line by line as they are computed.
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace lumerad {

// One line of numbers, each in the 23-character real field (dataField), CR LF at the end.
std::string dataFileLine(std::initializer_list<double> numbers);
// One line of text, CR LF at the end.
std::string dataFileTextLine(const std::string& text);

class DataFile {
public:
    DataFile() = default;
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;
    // Creates (or overwrites) the file; false when it cannot be created.
    bool open(const std::string& path);
    bool isOpen() const { return f_ != nullptr; }
    void write(const std::string& line);
    // Closes the file; false when a write or the close failed.
    bool close();

private:
    std::FILE* f_ = nullptr;
    bool failed_ = false;
};

}  // namespace lumerad
