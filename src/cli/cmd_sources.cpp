// lumerad-cli sources [--kind Bend|Wig|Und|TR|All]: the radiation sources of the catalogue.
#include "cli/command.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

const std::vector<const char*> kKinds = {"Bend", "Wig", "Und", "TR", "All"};

int runSources(Context& ctx) {
    std::string names;
    for (const char* k : kKinds) names += (names.empty() ? "" : ", ") + std::string(k);
    const QString kind = QString::fromLatin1(kKinds[choose(ctx.args.value(QStringLiteral("kind")), kKinds,
                                                           "source kind", "the kinds are " + names)]);
    ctx.report.input("kind", kind.toStdString());
    Table& t = *ctx.catalogue().InsDevice;
    t.setFiltered(false);
    struct Col {
        const char* field;
        const char* caption;
        const char* unit;
        double toUnit;  // record value -> unit of the column's numbers
    };
    const Col cols[] = {{"Name", "name", "", 0},       {"SrceType", "kind", "", 0},
                        {"MagType", "magnet", "", 0},  {"PermMag", "design", "", 0},
                        {"Field", "field", "T", 1},    {"Gap", "gap", "mm", 1},
                        {"PerLen", "period", "mm", 1}, {"#Poles", "poles", "", 1}};
    std::vector<Column> out;
    for (const Col& c : cols) out.push_back({c.caption, c.unit, c.toUnit != 0, {}, {}});
    for (int r = 0; r < t.rowCount(); ++r) {
        const Record& rec = t.row(r);
        if (kind != QLatin1String("All") &&
            rec.text(QStringLiteral("SrceType")).compare(kind, Qt::CaseInsensitive) != 0)
            continue;
        for (size_t k = 0; k < std::size(cols); ++k) {
            const QString f = QString::fromLatin1(cols[k].field);
            out[k].texts.push_back(t.displayText(r, t.fieldIndex(f)).toStdString());
            if (out[k].numeric)
                out[k].values.push_back(rec.isNull(f) ? std::nan("") : rec.number(f) * cols[k].toUnit);
        }
    }
    ctx.report.columns = std::move(out);
    return kOk;
}

}  // namespace

Command sourcesCommand() {
    return {"sources",
            "[--kind Bend|Wig|Und|TR|All]",
            "list the sources with their kind, magnet type, field, gap, period and poles",
            BeamKind::None,
            nullptr,
            false,
            nullptr,
            {{"kind", "KIND", "Only the sources of this kind.", "All"}},
            runSources};
}

}  // namespace lumerad::cli
