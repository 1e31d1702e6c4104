#include "core/beams/record_limits.h"

#include <cctype>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "core/numerics/constants.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {

using Field = std::pair<const char*, double>;

bool same(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

std::optional<LimitBreach> breach(const char* field, const std::string& what) {
    return LimitBreach{field, std::string(field) + ": " + what};
}

std::optional<LimitBreach> notFinite(std::initializer_list<Field> fields) {
    for (const auto& [name, v] : fields)
        if (!std::isfinite(v)) return breach(name, "the value must be a finite number");
    return std::nullopt;
}

std::optional<LimitBreach> negative(std::initializer_list<Field> fields, const char* what) {
    for (const auto& [name, v] : fields)
        if (v < 0) return breach(name, std::string(what) + " must not be negative");
    return std::nullopt;
}

}  // namespace

std::optional<LimitBreach> circBeamBreach(const CircBeamValues& r) {
    if (r.SR.find_first_not_of(' ') == std::string::npos) return breach("SR", "the beam needs a name");
    if (auto b = notFinite({{"Energy", r.Energy},
                            {"Cur", r.Cur},
                            {"Eps_x", r.Eps_x},
                            {"Eps_y", r.Eps_y},
                            {"DE/E", r.DE_E},
                            {"Beta_x", r.Beta_x},
                            {"Alpha_x", r.Alpha_x},
                            {"Beta_y", r.Beta_y},
                            {"Alpha_y", r.Alpha_y},
                            {"Eta_x", r.Eta_x},
                            {"Etap_x", r.Etap_x},
                            {"Eta_y", r.Eta_y},
                            {"Etap_y", r.Etap_y}}))
        return b;
    if (!(GeVToeV(r.Energy) > MeC2))
        return breach("Energy", "the beam energy must be above the electron rest energy, 0.000511003 GeV");
    if (GeVToeV(r.Energy) > MeVToeV(kMaxBeamEnergyMeV))
        return breach("Energy", "the beam energy must be at most 10000 GeV");
    if (auto b = negative({{"Cur", r.Cur}}, "the current")) return b;
    if (auto b = negative({{"Eps_x", r.Eps_x}, {"Eps_y", r.Eps_y}}, "the emittance")) return b;
    if (auto b = negative({{"DE/E", r.DE_E}}, "the energy spread")) return b;
    if (auto b = negative({{"Beta_x", r.Beta_x}, {"Beta_y", r.Beta_y}}, "the beta function")) return b;
    return std::nullopt;
}

std::optional<LimitBreach> snglBeamBreach(const SnglBeamValues& r) {
    if (auto b = notFinite({{"Energy", r.Energy},
                            {"Part/Bunch", r.PartPerBunch},
                            {"PulseDuration", r.PulseDuration},
                            {"PulseRepRate", r.PulseRepRate},
                            {"Bunches/Pulse", r.BunchesPerPulse},
                            {"BunchDuration", r.BunchDuration}}))
        return b;
    if (!(MeVToeV(r.Energy) > MeC2))
        return breach("Energy", "the beam energy must be above the electron rest energy, 0.511003 MeV");
    if (r.Energy > kMaxBeamEnergyMeV) return breach("Energy", "the beam energy must be at most 10000000 MeV");
    if (auto b = negative({{"Part/Bunch", r.PartPerBunch}}, "the charge")) return b;
    if (auto b = negative({{"PulseDuration", r.PulseDuration},
                           {"PulseRepRate", r.PulseRepRate},
                           {"Bunches/Pulse", r.BunchesPerPulse},
                           {"BunchDuration", r.BunchDuration}},
                          "the value"))
        return b;
    return std::nullopt;
}

std::optional<LimitBreach> sourceBreach(const SourceRecord& r) {
    if (auto b = notFinite({{"Field", r.Field},
                            {"RemnFld", r.RemnFld},
                            {"PerLen", r.PerLen},
                            {"Gap", r.Gap},
                            {"Gap_mn", r.Gap_mn},
                            {"Gap_mx", r.Gap_mx}}))
        return b;
    // A permanent magnet's field follows from its gap; a transition-radiation target has none.
    const bool pm = same(r.MagType, "PM");
    const bool periodic = same(r.SrceType, "Wig") || same(r.SrceType, "Und");
    const bool needsField = !pm && (same(r.MagType, "EM") || periodic || same(r.SrceType, "Bend"));
    if (r.Field < 0 || r.Field > 100 || (needsField && r.Field == 0))
        return breach("Field", needsField ? "the magnetic field must be above 0 T and at most 100 T"
                                          : "the magnetic field must be from 0 to 100 T");
    if (r.RemnFld < 0 || r.RemnFld > 10)
        return breach("RemnFld", "the remanent field must be from 0 to 10 T");
    if (r.Poles < 0 || r.Poles > 100000)
        return breach("#Poles", "the number of poles must be from 0 to 100000");
    if (r.PerLen < 0 || r.PerLen > 10000 || (periodic && r.PerLen == 0))
        return breach("PerLen", periodic ? "the period length must be above 0 mm and at most 10000 mm"
                                         : "the period length must be from 0 to 10000 mm");
    // A permanent magnet's field follows from its gap: a closed gap is no device.
    if (pm && r.Gap <= 0) return breach("Gap", "the gap of a permanent magnet must be above 0 mm");
    if (auto b = negative({{"Gap", r.Gap}, {"Gap_mn", r.Gap_mn}, {"Gap_mx", r.Gap_mx}}, "the gap")) return b;
    for (const auto& [name, v] : {Field{"Gap", r.Gap}, Field{"Gap_mn", r.Gap_mn}, Field{"Gap_mx", r.Gap_mx}})
        if (v > kMaxGapMm) return breach(name, "the gap must be at most 1000 mm");
    return std::nullopt;
}

std::string unusableRecordText(const std::string& what, const std::string& name, const LimitBreach& b) {
    return "The " + what + " '" + name + "' cannot be used until it is mended: " + b.text + ".";
}

}  // namespace lumerad
