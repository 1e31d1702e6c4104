#include "cli/report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>
#include <cmath>

#include "core/numerics/number_text.h"

namespace lumerad::cli {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Width of a text in characters as a terminal shows them (UTF-8 continuation bytes take none).
size_t shownWidth(const std::string& s) {
    return size_t(std::count_if(s.begin(), s.end(),
                                [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string padRight(const std::string& s, size_t w) {
    return s + std::string(w > shownWidth(s) ? w - shownWidth(s) : 0, ' ');
}
std::string padLeft(const std::string& s, size_t w) {
    return std::string(w > shownWidth(s) ? w - shownWidth(s) : 0, ' ') + s;
}

// A CSV cell: quoted when it holds a comma, a quote or a line break.
std::string csvCell(const std::string& s) {
    if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

QJsonValue number(double v) { return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null); }

std::string columnHeader(const Column& c) {
    // a caption that already ends with its unit (the scan file's "photon energy, eV") keeps it once
    const bool named = c.unit.empty() || c.unitsInTexts || c.name.ends_with(", " + c.unit);
    return named ? c.name : c.name + " (" + c.unit + ")";
}

size_t rowCount(const Report& r) {
    size_t n = 0;
    for (const Column& c : r.columns) n = std::max(n, c.texts.size());
    return n;
}

std::string cell(const Column& c, size_t i) { return i < c.texts.size() ? c.texts[i] : std::string(); }

std::string table(const Report& r) {
    std::string out;
    if (!r.results.empty()) {
        size_t wl = 0, wt = 0;
        for (const ResultField& f : r.results) {
            wl = std::max(wl, shownWidth(f.label));
            wt = std::max(wt, shownWidth(f.text));
        }
        for (const ResultField& f : r.results) {
            std::string line = padRight(f.label, wl) + "  " + padLeft(f.text, wt);
            if (!f.shownUnit.empty()) line += " " + f.shownUnit;
            out += line + "\n";
        }
    }
    if (!r.columns.empty()) {
        if (!out.empty()) out += "\n";
        std::vector<size_t> w;
        for (const Column& c : r.columns) {
            size_t width = shownWidth(columnHeader(c));
            for (const std::string& t : c.texts) width = std::max(width, shownWidth(t));
            w.push_back(width);
        }
        auto row = [&](auto text) {
            std::string line;
            for (size_t k = 0; k < r.columns.size(); ++k) {
                const Column& c = r.columns[k];
                const std::string t = text(c);
                if (k) line += "  ";
                line += c.numeric ? padLeft(t, w[k]) : padRight(t, w[k]);
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out += line + "\n";
        };
        row([](const Column& c) { return columnHeader(c); });
        for (size_t i = 0, n = rowCount(r); i < n; ++i) row([i](const Column& c) { return cell(c, i); });
    }
    return out;
}

std::string csv(const Report& r) {
    std::string out;
    if (!r.columns.empty()) {
        std::string head;
        for (size_t k = 0; k < r.columns.size(); ++k)
            head += (k ? "," : "") + csvCell(columnHeader(r.columns[k]));
        out += head + "\n";
        for (size_t i = 0, n = rowCount(r); i < n; ++i) {
            std::string line;
            for (size_t k = 0; k < r.columns.size(); ++k)
                line += (k ? "," : "") + csvCell(trimmed(cell(r.columns[k], i)));
            out += line + "\n";
        }
        return out;
    }
    out += "name,label,text,shown_unit,value,unit\n";
    for (const ResultField& f : r.results) {
        // the value with all the digits a double needs, as JSON writes it
        const QByteArray v = std::isfinite(f.value)
                                 ? QByteArray::number(f.value, 'g', QLocale::FloatingPointShortest)
                                 : QByteArray();
        out += csvCell(f.name) + "," + csvCell(f.label) + "," + csvCell(trimmed(f.text)) + "," +
               csvCell(f.shownUnit) + "," + v.toStdString() + "," + csvCell(f.unit) + "\n";
    }
    return out;
}

std::string json(const Report& r) {
    QJsonObject o;
    o.insert(QStringLiteral("command"), qs(r.command));
    QJsonObject inputs;
    // an option given more than once (--set) becomes an array of its texts
    for (const auto& [k, v] : r.inputs) {
        const QString key = qs(k);
        if (!inputs.contains(key)) {
            inputs.insert(key, qs(v));
            continue;
        }
        QJsonArray a =
            inputs.value(key).isArray() ? inputs.value(key).toArray() : QJsonArray{inputs.value(key)};
        a.append(qs(v));
        inputs.insert(key, a);
    }
    o.insert(QStringLiteral("inputs"), inputs);
    QJsonObject results;
    for (const ResultField& f : r.results) {
        QJsonObject e;
        e.insert(QStringLiteral("label"), qs(f.label));
        e.insert(QStringLiteral("value"), number(f.value));
        e.insert(QStringLiteral("unit"), qs(f.unit));
        e.insert(QStringLiteral("text"), qs(f.text));
        e.insert(QStringLiteral("shown_unit"), qs(f.shownUnit));
        results.insert(qs(f.name), e);
    }
    o.insert(QStringLiteral("results"), results);
    if (!r.columns.empty()) {
        QJsonArray columns;
        for (const Column& c : r.columns) {
            QJsonObject e;
            e.insert(QStringLiteral("name"), qs(c.name));
            e.insert(QStringLiteral("unit"), qs(c.unit));
            QJsonArray values;
            if (c.numeric)
                for (double v : c.values) values.append(number(v));
            else
                for (const std::string& t : c.texts) values.append(qs(t));
            e.insert(QStringLiteral("values"), values);
            columns.append(e);
        }
        o.insert(QStringLiteral("columns"), columns);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace

Column dataColumn(const std::string& name, const std::string& unit, const std::vector<double>& values) {
    Column c{name, unit, true, values, {}};
    for (double v : values) c.texts.push_back(dataField(v));
    return c;
}

std::string formatReport(const Report& r, OutputFormat format) {
    switch (format) {
        case OutputFormat::Csv:
            return csv(r);
        case OutputFormat::Json:
            return json(r);
        case OutputFormat::Table:
            break;
    }
    return table(r);
}

}  // namespace lumerad::cli
