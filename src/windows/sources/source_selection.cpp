#include "windows/sources/source_selection.h"

#include "core/state/session.h"
#include "store/tsr_module.h"
#include "ui/app_context.h"
#include "ui/current_records.h"
#include "windows/sources/bending_magnet_window.h"

namespace lumerad {

void SelectSources(AppContext& ctx, const std::string& kind) {
    if (ctx.windowAs<TfSynRad>(WindowId::BendingMagnet))
        ctx.windowAs<TfSynRad>(WindowId::BendingMagnet)->setSourceColumns(!ctx.session.flags.BendMagMode);
    if (ctx.module && ctx.module->InsDevice) FilterSources(*ctx.module->InsDevice, kind);
}

}  // namespace lumerad
