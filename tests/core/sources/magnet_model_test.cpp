#include "core/sources/magnet_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/numerics/errors.h"
#include "core/numerics/messages.h"

using namespace lumerad;

namespace {

SourceRecord pmRecord(const std::string& permMag, double remn, double gapMm, double perMm) {
    return {.Name = "test undulator",
            .MagType = "PM",
            .SrceType = "Und",
            .PermMag = permMag,
            .Field = 0.5,
            .RemnFld = remn,
            .Poles = 100,
            .PerLen = perMm,
            .Gap = gapMm};
}

MagnetState pmState(const std::string& permMag, double remn, double perM) {
    MagnetState m;
    m.PermMag = permMag;
    m.RemnField = remn;
    m.PerLength = perM;
    return m;
}

}  // namespace

// The record in metres: an electromagnet keeps its field, K = 0.934 B lambda_u[cm]; one
// pole is one period of half a period's length, 0 poles none; an odd count is truncated.
TEST(ReadSourcePar, CopiesTheRecordInMetres) {
    RecordingMessages msg;
    MagnetState m;
    SourceRecord r = pmRecord("REC", 1.1, 12.5, 30);
    r.SrceType = "Wig";
    r.MagType = "EM";
    r.Field = 1.0;
    r.Poles = 20;
    ReadSourcePar(r, m, msg);
    EXPECT_DOUBLE_EQ(m.PerLength, 0.030);
    EXPECT_DOUBLE_EQ(m.Gap, 0.0125);
    EXPECT_EQ(m.NPoles, 20);
    EXPECT_EQ(m.BField, 1.0);
    EXPECT_EQ(m.RemnField, 1.1);
    EXPECT_NEAR(m.KValue, 2.802, 1e-12);
    const std::tuple<int, int, double> poles[] = {{1, 1, 0.015}, {0, 1, 0.0}, {41, 20, 41 * 0.030 / 2}};
    for (const auto& [n, periods, length] : poles) {
        r.Poles = n;
        ReadSourcePar(r, m, msg);
        EXPECT_EQ(m.NPeriods, periods) << n;
        EXPECT_DOUBLE_EQ(m.DevLength, length) << n;
    }
    EXPECT_TRUE(msg.log.empty());
}

TEST(ReadSourcePar, PermanentMagnetTakesTheGapField) {
    RecordingMessages msg;
    MagnetState m;
    // REC, 1.2 T, gap 10 mm, period 30 mm: 1.723 * 1.2 * exp(-pi/3) = 0.7256 T
    ReadSourcePar(pmRecord("REC", 1.2, 10, 30), m, msg);
    EXPECT_NEAR(m.BField, 0.7256, 5e-5);
    EXPECT_NEAR(m.GapRatio, 1.0 / 3, 1e-12);
    // K comes from the record's field (0.5 T), not from the gap field
    EXPECT_NEAR(m.KValue, 0.934 * 0.5 * 3, 1e-12);

    // hybrid, 3.33 T, gap 15 mm, period 30 mm: 3.33 * exp(-0.5 * 4.57) = 0.3389 T
    ReadSourcePar(pmRecord("hybrid", 3.33, 15, 30), m, msg);
    EXPECT_NEAR(m.BField, 0.3389, 5e-5);
    EXPECT_TRUE(msg.log.empty());
}

TEST(ReadSourcePar, MagnetTypeMessages) {
    RecordingMessages msg;
    MagnetState m;
    // Case matters: "rec" is not "REC".
    ReadSourcePar(pmRecord("rec", 1.2, 10, 30), m, msg);
    ASSERT_EQ(msg.texts(), std::vector<std::string>{"select REC or hybrid magnet type!"});
    EXPECT_EQ(msg.log[0].kind, RecordingMessages::Entry::Info);
    EXPECT_EQ(m.PermMag, "hybrid");
    EXPECT_EQ(m.BField, 0.5);

    msg.clear();
    SourceRecord r = pmRecord("REC", 1.2, 10, 30);
    r.MagType = "pm";
    ReadSourcePar(r, m, msg);
    EXPECT_EQ(msg.texts(), std::vector<std::string>{"select valid magnet type, EM or PM!"});
    EXPECT_EQ(m.BField, 0.5);
    EXPECT_EQ(m.PermMag, "REC");
}

TEST(GapField, HybridRatioIsClampedAndRecVanishesFarOut) {
    RecordingMessages msg;
    MagnetState h = pmState("hybrid", 3.33, 0.030);
    const double at007 = GapField(h, 0.07 * 0.030, msg);
    EXPECT_DOUBLE_EQ(GapField(h, 0.02 * 0.030, msg), at007);
    EXPECT_NEAR(h.GapRatio, 0.07, 1e-15);
    const double at07 = GapField(h, 0.7 * 0.030, msg);
    EXPECT_DOUBLE_EQ(GapField(h, 0.9 * 0.030, msg), at07);
    EXPECT_NEAR(h.GapRatio, 0.7, 1e-15);
    EXPECT_NEAR(at07, 3.33 * std::exp(-0.7 * (5.47 - 1.8 * 0.7)), 1e-12);

    MagnetState rec = pmState("REC", 1.2, 0.030);
    EXPECT_EQ(GapField(rec, 6 * 0.030, msg), 0.0);
    EXPECT_GT(GapField(rec, 4.9 * 0.030, msg), 0.0);
    EXPECT_TRUE(msg.log.empty());
}

TEST(GapField, MissingPeriodOrRemanentField) {
    // without a period no field; without a remanent field the typical one, after a message
    struct Case {
        const char* kind;
        double remn, period, gap, field, remnAfter;
        const char* message;
    } cases[] = {
        {"REC", 1.2, 0.0, 0.01, 0.0, 1.2, "select period length!"},
        {"REC", 0.0, 0.03, 0.01, 1.723 * 0.9 * std::exp(-M_PI / 3), 0.9,
         "choose remnant field for REC magnet!"},
        {"hybrid", 0.0, 0.03, 0.015, 3.33 * std::exp(-0.5 * 4.57), 3.33,
         "choose remnant field for hybrid magnet!"},
    };
    for (const Case& c : cases) {
        RecordingMessages msg;
        MagnetState m = pmState(c.kind, c.remn, c.period);
        EXPECT_NEAR(GapField(m, c.gap, msg), c.field, 1e-12) << c.message;
        EXPECT_EQ(msg.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(m.RemnField, c.remnAfter);
    }
}

TEST(GapFromK, InvertsTheGapField) {
    RecordingMessages msg;
    // K = 93.44 B lambda_u; for a reachable K the gap gives back the field.
    for (const char* kind : {"REC", "hybrid"}) {
        MagnetState m = pmState(kind, kind == std::string("REC") ? 1.2 : 3.33, 0.030);
        for (double K : {0.5, 1.0, 2.0}) {
            const double g = GapFromK(m, K, msg);
            const double bWanted = K / 93.44 / 0.030;
            EXPECT_NEAR(GapField(m, g, msg), bWanted, 1e-9 * bWanted) << kind << " K=" << K;
        }
    }
    EXPECT_TRUE(msg.log.empty());
}

TEST(GapFromK, LimitsAndMessages) {
    RecordingMessages msg;
    MagnetState rec = pmState("REC", 1.2, 0.030);
    // A tiny K wants a huge gap: capped at 0.2 m. K = 0 uses 1e-30 T.
    EXPECT_EQ(GapFromK(rec, 1e-10, msg), 0.2);
    EXPECT_EQ(GapFromK(rec, 0.0, msg), 0.2);
    // More field than 1.723 * 1.2 T: negative gap.
    EXPECT_LT(GapFromK(rec, 93.44 * 0.030 * 3.0, msg), 0.0);
    EXPECT_TRUE(msg.log.empty());

    EXPECT_EQ(GapFromK(rec, -1.0, msg), 0.0);
    MagnetState noPeriod = pmState("REC", 1.2, 0.0);
    EXPECT_EQ(GapFromK(noPeriod, 1.0, msg), 0.0);
    EXPECT_EQ(msg.texts(), (std::vector<std::string>{"select positive period length an K-value!",
                                                     "select positive period length an K-value!"}));

    msg.clear();
    MagnetState r0 = pmState("REC", 0.0, 0.030);
    GapFromK(r0, 1.0, msg);
    EXPECT_EQ(msg.texts(), std::vector<std::string>{"choose remnant field for REC magnet!"});
    EXPECT_EQ(r0.RemnField, 0.9);

    // The hybrid always works with 3.33 T, without a message (the gap it gives: above).
    msg.clear();
    MagnetState h = pmState("hybrid", 1.0, 0.030);
    GapFromK(h, 1.0, msg);
    EXPECT_EQ(h.RemnField, 3.33);
    EXPECT_TRUE(msg.log.empty());
}

TEST(GapFromK, HybridFieldBelowItsMinimumHasNoGap) {
    // The hybrid field 3.33 exp(-x (5.47 - 1.8 x)) never falls below 3.33 exp(-5.47^2 / 7.2),
    // about 0.0522 T; a smaller field (K = 0 included) has no real root.
    RecordingMessages msg;
    MagnetState h = pmState("hybrid", 3.33, 0.030);
    const double bMin = 3.33 * std::exp(-5.47 * 5.47 / 7.2);
    clearFloatFaults();
    EXPECT_EQ(GapFromK(h, 0.9 * bMin * 93.44 * 0.030, msg), 0.0);
    EXPECT_EQ(GapFromK(h, 0.0, msg), 0.0);
    EXPECT_NO_THROW(checkFloatFaults());
    ASSERT_EQ(msg.log.size(), 2u);
    EXPECT_EQ(msg.log[0].text, kHybridKOutOfReachText);
    msg.clear();
    EXPECT_GT(GapFromK(h, 1.1 * bMin * 93.44 * 0.030, msg), 0.0);
    EXPECT_TRUE(msg.log.empty());
}
