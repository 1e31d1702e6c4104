#include "sources/source_selection.h"

#include "app/app_context.h"
#include "app/session.h"
#include "catalogue/data_widgets.h"
#include "catalogue/table.h"
#include "catalogue/tsr_module.h"
#include "sources/bending_magnet_window.h"

namespace lumerad {

void FilterSources(Table& insDevice, const std::string& kind) {
    insDevice.setFiltered(false);
    if (kind.empty() || kind == "All") return;
    QString k = QString::fromStdString(kind);
    k.replace(QLatin1Char('\''), QLatin1String("''"));
    insDevice.setFilter(QStringLiteral("SrceType='%1'").arg(k));
    insDevice.setFiltered(true);
}

void SelectSources(AppContext& ctx, const std::string& kind) {
    DBGrid* grid = ctx.windows.synRad ? ctx.windows.synRad->findChild<DBGrid*>(QStringLiteral("DBGrid1")) : nullptr;
    if (grid) {
        grid->clearColumns();
        grid->addColumn(QStringLiteral("Name"), QStringLiteral("Source"));
        grid->addColumn(QStringLiteral("MagType"), QStringLiteral("MagType"));
        grid->addColumn(QStringLiteral("SrceType"), QStringLiteral("SrceType"));
        grid->addColumn(QStringLiteral("Field"), QStringLiteral("Field"));
        grid->addColumn(QStringLiteral("PermMag"), QStringLiteral("PermMag"));
        grid->addColumn(QStringLiteral("RemnFld"), QStringLiteral("B_remn"));
        if (!ctx.session.flags.BendMagMode) {
            grid->addColumn(QStringLiteral("#Poles"), QStringLiteral("#Poles"));
            grid->addColumn(QStringLiteral("PerLen"), QStringLiteral("PerLen"));
            grid->addColumn(QStringLiteral("Gap"), QStringLiteral("Gap"));
        }
    }
    if (ctx.module) FilterSources(*ctx.module->InsDevice, kind);
}

}  // namespace lumerad
