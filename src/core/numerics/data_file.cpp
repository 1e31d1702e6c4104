#include "core/numerics/data_file.h"

#include "core/numerics/number_text.h"

namespace lumerad {

std::string dataFileLine(std::initializer_list<double> numbers) {
    std::string line(numbers.size() * 23 + 2, ' ');
    char* out = line.data();
    for (double v : numbers) out = dataFieldTo(out, v);
    out[0] = '\r';
    out[1] = '\n';
    return line;
}

std::string dataFileTextLine(const std::string& text) { return text + "\r\n"; }

DataFile::~DataFile() { close(); }

bool DataFile::open(const std::string& path) {
    close();
    f_ = std::fopen(path.c_str(), "wb");
    failed_ = false;
    return f_ != nullptr;
}

void DataFile::write(const std::string& line) {
    if (!f_) return;
    if (std::fwrite(line.data(), 1, line.size(), f_) != line.size()) failed_ = true;
}

bool DataFile::close() {
    if (!f_) return !failed_;
    if (std::fclose(f_) != 0) failed_ = true;
    f_ = nullptr;
    return !failed_;
}

}  // namespace lumerad
