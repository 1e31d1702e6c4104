#include "ui/current_records.h"

#include "core/numerics/errors.h"
#include "core/sources/magnet_model.h"
#include "core/state/session.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/app_context.h"

namespace lumerad {

QString sourceFilterText(const std::string& kind) {
    if (kind.empty() || kind == "All") return {};
    QString quoted = QString::fromStdString(kind);
    quoted.replace(QLatin1String("'"), QLatin1String("''"));
    return QStringLiteral("SrceType='") + quoted + QLatin1Char('\'');
}

void FilterSources(Table& insDevice, const std::string& kind) {
    insDevice.setFiltered(false);
    const QString text = sourceFilterText(kind);
    if (text.isEmpty()) return;
    insDevice.setFilter(text);
    insDevice.setFiltered(true);
}

void requireCirculatingBeam(AppContext& ctx) {
    if (!ctx.module || !ctx.module->CircBeam) return;
    const Table& ring = *ctx.module->CircBeam;
    if (ring.isOpen()) requireUsableRecord(ring);
    // The beam state is the ring's when the ring table is open (its current record was
    // calculated into the state when it became current) and the last beam calculated was a
    // circulating one.
    const bool fromRing =
        ring.isOpen() && ring.hasCurrent() && ctx.session.beam.kind == BeamKind::Circulating;
    if (!fromRing) throw InputError(kNeedCirculatingBeamText);
}

void ReadSourcePar(AppContext& ctx) {
    if (!ctx.module || !ctx.module->InsDevice) throw InputError("the source catalogue is not open!");
    Table& t = *ctx.module->InsDevice;
    if (t.editing()) t.post();
    if (!t.hasCurrent()) throw InputError("there is no source to calculate: choose a source in the grid!");
    t.edit();
    requireUsableRecord(t);
    ReadSourcePar(readSourceRecord(t), ctx.session.magnet, ctx.messages);
}

}  // namespace lumerad
