// Physical limits of catalogue records: which values are refused and the field named, and
// that every record the catalogue is seeded with (published parameters) passes.
#include "core/beams/record_limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core/beams/seed_catalogue.h"

using namespace lumerad;

namespace {

CircBeamValues ring() {
    CircBeamValues v;
    v.SR = "ring";
    v.Energy = 3.0;
    v.Cur = 300;
    v.Eps_x = 2.7;
    v.Eps_y = 0.008;
    v.DE_E = 0.1;
    v.Beta_x = 10;
    v.Beta_y = 3;
    return v;
}

SnglBeamValues linac() {
    SnglBeamValues v;
    v.Name = "linac";
    v.Energy = 1000;
    v.PartPerBunch = 6;
    return v;
}

SourceRecord magnet(const char* magType, const char* kind, double field, double perLen) {
    SourceRecord r;
    r.Name = "m";
    r.MagType = magType;
    r.SrceType = kind;
    r.Field = field;
    r.PerLen = perLen;
    return r;
}

}  // namespace

TEST(RecordLimits, CirculatingBeam) {
    struct Case {
        std::function<void(CircBeamValues&)> change;
        const char* field;  // nullptr: accepted
    } cases[] = {
        {[](auto&) {}, nullptr},
        {[](auto& v) { v.SR = ""; }, "SR"},
        {[](auto& v) { v.SR = "   "; }, "SR"},
        {[](auto& v) { v.Energy = 0; }, "Energy"},
        {[](auto& v) { v.Energy = -3; }, "Energy"},
        {[](auto& v) { v.Energy = 0.000511003; }, "Energy"},  // exactly the rest energy: gamma = 1
        {[](auto& v) { v.Energy = 0.000512; }, nullptr},
        {[](auto& v) { v.Energy = NAN; }, "Energy"},
        {[](auto& v) { v.Cur = -1; }, "Cur"},
        {[](auto& v) { v.Cur = 0; }, nullptr},
        {[](auto& v) { v.Eps_x = -0.1; }, "Eps_x"},
        {[](auto& v) { v.Eps_y = -0.1; }, "Eps_y"},
        {[](auto& v) { v.DE_E = -0.1; }, "DE/E"},
        {[](auto& v) { v.Beta_x = -1; }, "Beta_x"},
        {[](auto& v) { v.Beta_y = -1; }, "Beta_y"},
        {[](auto& v) { v.Beta_y = 0; }, nullptr},  // 0 takes the default beta
        {[](auto& v) { v.Alpha_x = -2; }, nullptr},
        {[](auto& v) { v.Eta_x = INFINITY; }, "Eta_x"},
    };
    for (const auto& c : cases) {
        CircBeamValues v = ring();
        c.change(v);
        const auto b = circBeamBreach(v);
        if (!c.field) {
            EXPECT_FALSE(b) << b->text;
            continue;
        }
        ASSERT_TRUE(b) << c.field;
        EXPECT_EQ(b->field, c.field);
        EXPECT_EQ(b->text.rfind(std::string(c.field) + ": ", 0), 0u) << b->text;
    }
    EXPECT_EQ(circBeamBreach([] {
                  auto v = ring();
                  v.Energy = 0;
                  return v;
              }())
                  ->text,
              "Energy: the beam energy must be above the electron rest energy, 0.000511003 GeV");
}

TEST(RecordLimits, SinglePassBeam) {
    struct Case {
        std::function<void(SnglBeamValues&)> change;
        const char* field;
    } cases[] = {
        {[](auto&) {}, nullptr},
        {[](auto& v) { v.Energy = 0; }, "Energy"},
        {[](auto& v) { v.Energy = 0.5; }, "Energy"},  // MeV, below 0.511
        {[](auto& v) { v.Energy = 0.52; }, nullptr},
        {[](auto& v) { v.PartPerBunch = -1; }, "Part/Bunch"},
        {[](auto& v) { v.PulseDuration = -1; }, "PulseDuration"},
        {[](auto& v) { v.PulseRepRate = -1; }, "PulseRepRate"},
        {[](auto& v) { v.BunchesPerPulse = -1; }, "Bunches/Pulse"},
        {[](auto& v) { v.BunchDuration = -1; }, "BunchDuration"},
    };
    for (const auto& c : cases) {
        SnglBeamValues v = linac();
        c.change(v);
        const auto b = snglBeamBreach(v);
        if (!c.field) {
            EXPECT_FALSE(b) << b->text;
        } else {
            ASSERT_TRUE(b) << c.field;
            EXPECT_EQ(b->field, c.field);
        }
    }
}

TEST(RecordLimits, Sources) {
    struct Case {
        SourceRecord rec;
        const char* field;
    } cases[] = {
        {magnet("EM", "Bend", 1.4, 0), nullptr},
        {magnet("EM", "Bend", 0, 0), "Field"},  // an electromagnet without field
        {magnet("EM", "Bend", -1.4, 0), "Field"},
        {magnet("EM", "Bend", 101, 0), "Field"},
        {magnet("PM", "Und", 0, 35), nullptr},  // a permanent magnet's field follows from its gap
        {magnet("pm", "und", 0, 35), nullptr},  // kinds compare without case
        {magnet("PM", "Und", 1, 0), "PerLen"},  // an undulator needs its period
        {magnet("EM", "Wig", 1, -5), "PerLen"},
        {magnet("EM", "Bend", 1, 20000), "PerLen"},
    };
    for (const auto& c : cases) {
        const auto b = sourceBreach(c.rec);
        if (!c.field) {
            EXPECT_FALSE(b) << b->text;
        } else {
            ASSERT_TRUE(b) << c.rec.Field << " " << c.rec.PerLen;
            EXPECT_EQ(b->field, c.field);
        }
    }
    SourceRecord r = magnet("PM", "Und", 0.7, 35);
    r.RemnFld = -1;
    EXPECT_EQ(sourceBreach(r)->field, "RemnFld");
    r.RemnFld = 1.2;
    r.Poles = -2;
    EXPECT_EQ(sourceBreach(r)->field, "#Poles");
    r.Poles = 90;
    r.Gap = -1;
    EXPECT_EQ(sourceBreach(r)->field, "Gap");
}

TEST(RecordLimits, EverySeededRecordPasses) {
    auto val = [](double v) { return v == kNoValue ? 0.0 : v; };
    for (const SeedRing& s : seedRings()) {
        CircBeamValues v;
        v.SR = s.SR;
        v.Energy = val(s.Energy), v.Cur = val(s.Cur), v.Eps_x = val(s.Eps_x), v.Eps_y = val(s.Eps_y);
        v.DE_E = val(s.DE_E), v.Beta_x = val(s.Beta_x), v.Alpha_x = val(s.Alpha_x);
        v.Beta_y = val(s.Beta_y), v.Alpha_y = val(s.Alpha_y), v.Eta_x = val(s.Eta_x);
        v.Etap_x = val(s.Etap_x), v.Eta_y = val(s.Eta_y), v.Etap_y = val(s.Etap_y);
        const auto b = circBeamBreach(v);
        EXPECT_FALSE(b) << s.SR << ": " << b->text;
    }
    for (const SeedLinac& s : seedLinacs()) {
        SnglBeamValues v;
        v.Name = s.Name;
        v.Energy = val(s.Energy), v.PartPerBunch = val(s.PartPerBunch),
        v.PulseDuration = val(s.PulseDuration);
        v.PulseRepRate = val(s.PulseRepRate), v.BunchesPerPulse = val(s.BunchesPerPulse);
        v.BunchDuration = val(s.BunchDuration);
        const auto b = snglBeamBreach(v);
        EXPECT_FALSE(b) << s.Name << ": " << b->text;
    }
    for (const SeedSource& s : seedSources()) {
        SourceRecord r;
        r.Name = s.Name, r.MagType = s.MagType, r.SrceType = s.SrceType, r.PermMag = s.PermMag;
        r.Field = val(s.Field), r.RemnFld = val(s.RemnFld), r.Poles = s.Poles, r.PerLen = val(s.PerLen);
        r.Gap = val(s.Gap), r.Gap_mn = val(s.Gap_mn), r.Gap_mx = val(s.Gap_mx);
        const auto b = sourceBreach(r);
        EXPECT_FALSE(b) << s.Name << ": " << b->text;
    }
}
