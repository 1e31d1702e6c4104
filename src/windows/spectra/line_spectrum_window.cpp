#include "windows/spectra/line_spectrum_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/numerics/errors.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "core/state/session.h"
#include "store/table.h"
#include "store/tsr_module.h"
#include "ui/current_records.h"
#include "ui/data_widgets.h"
#include "ui/dialogs.h"
#include "ui/form_builder.h"
#include "ui/results_panel.h"
#include "ui/texts.h"
#include "windows/plot/graph_window.h"
#include "windows/plot/line_graph_window.h"

namespace lumerad {

namespace {
constexpr int kListRows = 15;
constexpr int kColumnWidths[] = {30, 60, 70, 60, 95};

// The design widths, widened where a text or header of the font in use needs more space: a
// number cut short in the list would be a wrong number.
void fitColumns(QTableWidget* t) {
    int total = 0;
    for (int c = 0; c < 5; ++c) {
        t->resizeColumnToContents(c);
        if (t->columnWidth(c) < kColumnWidths[c]) t->setColumnWidth(c, kColumnWidths[c]);
        total += t->columnWidth(c);
    }
    t->setMinimumWidth(total + 2 * t->frameWidth() + t->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4);
}
}  // namespace

TfLineSpectrum::TfLineSpectrum(AppContext& ctx, std::optional<std::pair<QString, QString>> startGapRange,
                               QWidget* parent)
    : ToolWindow(ctx, "TfLineSpectrum", QStringLiteral("Undulator Line Spectrum"), parent),
      startGapRange_(std::move(startGapRange)) {
    auto* top = new QVBoxLayout(this);
    auto [left, right] = form::columns(top);

    auto value = [this](QWidget* host, const char* name) {
        auto* l = form::label(host, QString(), name);
        fitWidth(l, QStringLiteral("-0.000E+000 eV"), 8);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        results_.add(name, l);
        return l;
    };

    // Beam and magnet.
    auto* beamBox = form::group(this, QStringLiteral("beam parameters"), "gbBeam");
    form::Rows b(beamBox);
    if (ctx.module) {
        Table& ring = *ctx.module->CircBeam;
        Table& src = *ctx.module->InsDevice;
        b.add(QStringLiteral("storage ring"), new DBText(ring, QStringLiteral("SR"), beamBox, "DBT_SR"));
        b.add(QStringLiteral("energy"), new DBText(ring, QStringLiteral("Energy"), beamBox, "DBTxtEn"),
              QStringLiteral("GeV"));
        b.add(QStringLiteral("current"), new DBText(ring, QStringLiteral("Cur"), beamBox, "DBTxtCur"),
              QStringLiteral("mA"));
        b.add(QStringLiteral("source"), new DBText(src, QStringLiteral("Name"), beamBox, "DBTSouce"));
    }
    b.add(QStringLiteral("K"), value(beamBox, "KPar"));
    b.add(QStringLiteral("number of periods"), value(beamBox, "periods"));
    b.add(QStringLiteral("undulator length"), value(beamBox, "stUndlen"), QStringLiteral("m"));
    b.add(QStringLiteral("period length"), value(beamBox, "LenPer"), QStringLiteral("mm"));
    left->addWidget(beamBox);

    // Inputs of the list.
    auto* inBox = form::group(this, QStringLiteral("harmonics"), "gbHarmonics");
    form::Rows in(inBox);
    const LineListInputs list;
    BW_ = form::edit(inBox, "BW", qs(list.BW), QStringLiteral("band width in percent"));
    in.add(QStringLiteral("band width"), BW_, QStringLiteral("%"));
    fharm_ = form::edit(inBox, "fharm", qs(list.fharm), QStringLiteral("first harmonic"));
    in.add(QStringLiteral("first harmonic"), fharm_);
    toharm_ = form::edit(inBox, "toharm", qs(list.toharm), QStringLiteral("last harmonic"));
    in.add(QStringLiteral("last harmonic"), toharm_);
    left->addWidget(inBox);

    rgQuantity_ = form::group(this, QStringLiteral("radiation quantity"), "rgQuantity",
                              QStringLiteral("1.) flux into central cone "));
    auto* qLay = new QVBoxLayout(rgQuantity_);
    quantityGroup_ = new QButtonGroup(this);
    for (int q = 0; q < 4; ++q) {
        const std::string name = "rgQuantity" + std::to_string(q);
        auto* rb = form::radio(rgQuantity_, name.c_str(), qs(lineQuantityItem(q)), q == 0);
        quantityGroup_->addButton(rb, q);
        qLay->addWidget(rb);
    }
    left->addWidget(rgQuantity_);

    auto* buttons = new QHBoxLayout;
    auto* bbRecalc = form::button(this, "bbRecalc", QStringLiteral("recalculate"),
                                  QStringLiteral("calculate list of harmonic characteristics"));
    auto* bbLine = form::button(this, "bbShoLineGraph", QStringLiteral("show line graph"));
    auto* bbExit = form::button(this, "bbExit", QStringLiteral("&close panel"));
    buttons->addWidget(bbRecalc);
    buttons->addWidget(bbLine);
    buttons->addWidget(bbExit);
    left->addLayout(buttons);

    // Tuning scans.
    auto* scanBox = form::group(this, QStringLiteral("tuning scans"), "gbScan");
    auto* sLay = new QGridLayout(scanBox);
    const TuningScanInputs scan;
    edGapmin_ = form::edit(scanBox, "edGapmin", qs(scan.edGapmin));
    edGapmax_ = form::edit(scanBox, "edGapmax", qs(scan.edGapmax));
    edKmin_ = form::edit(scanBox, "edKmin", qs(scan.edKmin));
    edKmax_ = form::edit(scanBox, "edKmax", qs(scan.edKmax));
    sLay->addWidget(form::label(scanBox, QStringLiteral("min. gap")), 0, 0);
    sLay->addWidget(edGapmin_, 0, 1);
    sLay->addWidget(form::label(scanBox, QStringLiteral("mm")), 0, 2);
    sLay->addWidget(form::label(scanBox, QStringLiteral("max. gap")), 1, 0);
    sLay->addWidget(edGapmax_, 1, 1);
    sLay->addWidget(form::label(scanBox, QStringLiteral("mm")), 1, 2);
    sLay->addWidget(form::label(scanBox, QStringLiteral("K_min")), 2, 0);
    sLay->addWidget(edKmin_, 2, 1);
    sLay->addWidget(form::label(scanBox, QStringLiteral("K_max")), 3, 0);
    sLay->addWidget(edKmax_, 3, 1);
    auto* absBox = new QWidget(scanBox);
    auto* absLay = new QVBoxLayout(absBox);
    absLay->setContentsMargins(0, 0, 0, 0);
    rbvsPhEn_ = form::radio(absBox, "rbvsPhEn", QStringLiteral("plot vs photon energy"), false);
    rbvsK_ = form::radio(absBox, "rbvsK", QStringLiteral("plot vs K parameter"), false);
    rbvsGap_ = form::radio(absBox, "rbvsGap", QStringLiteral("plot vs gap"), false);
    for (auto* rb : {rbvsPhEn_, rbvsK_, rbvsGap_}) absLay->addWidget(rb);
    sLay->addWidget(absBox, 0, 3, 4, 1);
    cbSave_ = form::check(scanBox, "cbSave", QStringLiteral("save data to file"), false);
    cbPlot_ = form::check(scanBox, "cbPlot", QStringLiteral("show graph"), true);
    auto* modeBox = new QWidget(scanBox);
    auto* modeLay = new QHBoxLayout(modeBox);
    modeLay->setContentsMargins(0, 0, 0, 0);
    rbAdd_ = form::radio(modeBox, "rbAdd", QStringLiteral("add to graph"), true);
    rbReplace_ = form::radio(modeBox, "rbReplace", QStringLiteral("replace graph"), false);
    modeLay->addWidget(rbAdd_);
    modeLay->addWidget(rbReplace_);
    sLay->addWidget(cbSave_, 4, 0, 1, 2);
    sLay->addWidget(cbPlot_, 4, 2, 1, 2);
    sLay->addWidget(modeBox, 5, 0, 1, 4);
    auto* bbVK = form::button(scanBox, "BitBtn1", QStringLiteral("vary K and plot"),
                              QStringLiteral("tuning curves of the listed harmonics over K"));
    auto* bbVGap = form::button(scanBox, "bbVUGap", QStringLiteral("vary undulator gap"),
                                QStringLiteral("tuning curves of the listed harmonics over the gap"));
    sLay->addWidget(bbVK, 6, 0, 1, 2);
    sLay->addWidget(bbVGap, 6, 2, 1, 2);
    // a scan has two buttons to choose from: Enter in its fields presses none
    setDefaultButton(nullptr, scanBox);
    left->addWidget(scanBox);
    left->addStretch(1);

    // The list.
    auto* lineBox = form::group(this, QStringLiteral("line spectrum"), "gbLines");
    form::Rows l(lineBox);
    l.add(QStringLiteral("fundamental wavelength :"), value(lineBox, "lam0"), QStringLiteral("Å"));
    l.add(QStringLiteral("or fundamental energy:"), value(lineBox, "ephi0"), QStringLiteral("eV"));
    l.add(QStringLiteral("first harmonic λ"), value(lineBox, "lami"), QStringLiteral("Å"));
    l.add(QStringLiteral("last harmonic λ"), value(lineBox, "lamf"), QStringLiteral("Å"));
    l.add(QStringLiteral("first harmonic ε ph"), value(lineBox, "ephii"));
    l.add(QStringLiteral("last harmonic ε ph"), value(lineBox, "ephif"));
    ListLS_ = new QTableWidget(kListRows, 5, lineBox);
    ListLS_->setObjectName(QStringLiteral("ListLS"));
    ListLS_->setHorizontalHeaderLabels({QStringLiteral("   i   "), QStringLiteral("ε ph (eV)"),
                                        QStringLiteral("λ(Å)"), QStringLiteral("BW_eff (%)"),
                                        QStringLiteral("*)")});
    ListLS_->verticalHeader()->hide();
    ListLS_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fitColumns(ListLS_);
    ListLS_->setMinimumHeight(ListLS_->horizontalHeader()->sizeHint().height() +
                              kListRows * ListLS_->verticalHeader()->defaultSectionSize() +
                              2 * ListLS_->frameWidth());
    l.addWide(ListLS_);
    l.addWide(form::label(lineBox, QStringLiteral("*) radiation units as choosen")));
    right->addWidget(lineBox);
    right->addStretch(1);

    setDefaultButton(bbRecalc);
    connectAction(bbRecalc, &QPushButton::clicked, [this] { CalculateClick(); });
    connectAction(bbLine, &QPushButton::clicked, [this] { LineGraphClick(); });
    connectAction(bbExit, &QPushButton::clicked, [this] { this->close(); });
    connectAction(bbVK, &QPushButton::clicked, [this] { bbVKClick(); });
    connectAction(bbVGap, &QPushButton::clicked, [this] { bbVUGapClick(); });
    for (QLineEdit* e : {BW_, fharm_, toharm_, edGapmin_, edGapmax_, edKmin_, edKmax_})
        connectAction(e, &QLineEdit::textChanged, [this] { Change(); });
    connectAction(quantityGroup_, &QButtonGroup::idClicked, [this] { Change(); });
    FormCreate();
    resize(sizeHint().expandedTo(QSize(900, 640)));
}

void TfLineSpectrum::FormCreate() {
    rbvsPhEn_->setChecked(true);
    gapScan_ = true;
    kScan_ = false;
    // The gap range of the source current at start-up (or now); a source without one keeps the
    // form's range.
    std::pair<QString, QString> range;
    if (startGapRange_) {
        range = *startGapRange_;
    } else if (ctx_.module && ctx_.module->InsDevice && ctx_.module->InsDevice->hasCurrent()) {
        const Table& src = *ctx_.module->InsDevice;
        range = {src.asText(QStringLiteral("Gap_mn")), src.asText(QStringLiteral("Gap_mx"))};
    }
    if (!range.first.isEmpty()) edGapmin_->setText(range.first);
    if (!range.second.isEmpty()) edGapmax_->setText(range.second);
    for (int c = 0; c < 5; ++c) ListLS_->setColumnWidth(c, kColumnWidths[c]);
    fitColumns(ListLS_);
}

int TfLineSpectrum::quantity() const { return quantityGroup_->checkedId(); }

void TfLineSpectrum::Change() {
    for (int r = 0; r < ListLS_->rowCount(); ++r)
        for (int c = 0; c < 5; ++c)
            if (QTableWidgetItem* it = ListLS_->item(r, c)) it->setText(QString());
}

// Only what this calculation reached is shown: a refused range or band width leaves no label
// of an earlier list beside it.
void TfLineSpectrum::showHeader(const LineListResult& r) {
    results_.clear();
    results_.show(r.header);
}

bool TfLineSpectrum::Calculate() {
    Session& s = ctx_.session;
    requireCirculatingBeam(ctx_);
    LineListInputs in{fieldText(BW_), fieldText(fharm_), fieldText(toharm_), quantity()};
    LineListResult r;
    bool accepted = false;
    try {
        accepted = calculated([&] {
            return LineListCalculate(in, s.beam, s.magnet, s.undulator, s.RelBandWidth, list_, ctx_.messages,
                                     r);
        });
    } catch (...) {
        showHeader(r);
        throw;
    }
    showHeader(r);
    if (!accepted) {
        QLineEdit* e = r.refusedHarmonic == 1 ? fharm_ : toharm_;  // ready to retype
        e->setFocus();
        e->selectAll();
        return false;
    }
    Change();
    if (ListLS_->rowCount() < int(r.rows.size())) ListLS_->setRowCount(int(r.rows.size()));
    for (int row = 0; row < int(r.rows.size()); ++row)
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(qs(r.rows[row][c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            ListLS_->setItem(row, c, item);
        }
    fitColumns(ListLS_);
    return true;
}

void TfLineSpectrum::formShow() {
    justShown_ = true;
    Calculate();
}

void TfLineSpectrum::formActivate() {
    if (justShown_) {
        justShown_ = false;
        return;
    }
    Calculate();
}

void TfLineSpectrum::LineGraphClick() {
    if (!list_.accepted) throw InputError(kNoListYetText);
    TfLineGraph* g = ctx_.windowAs<TfLineGraph>(WindowId::LineGraph);
    if (!g) return;
    const std::string caption = lineQuantityCaption(quantity());
    if (!caption.empty()) g->New(qs(caption));
    for (int i : list_.harmonics()) g->XY(list_.eps[i], list_.F[i]);
    g->XY(0, 0);
    g->Axis();
    g->showTool();
}

void TfLineSpectrum::bbVKClick() {
    if (!Calculate()) return;  // a refused range is not scanned
    kScan_ = true;
    gapScan_ = false;
    CalcScan();
}

void TfLineSpectrum::bbVUGapClick() {
    if (!Calculate()) return;
    gapScan_ = true;
    kScan_ = false;
    CalcScan();
}

TuningScanInputs TfLineSpectrum::scanInputs() const {
    TuningScanInputs in;
    in.edGapmin = fieldText(edGapmin_);
    in.edGapmax = fieldText(edGapmax_);
    in.edKmin = fieldText(edKmin_);
    in.edKmax = fieldText(edKmax_);
    in.kind = gapScan_ ? ScanKind::Gap : ScanKind::K;
    in.abscissa = rbvsGap_->isChecked() ? ScanAbscissa::Gap
                  : rbvsK_->isChecked() ? ScanAbscissa::K
                                        : ScanAbscissa::PhotonEnergy;
    in.quantity = quantity();
    return in;
}

void TfLineSpectrum::CalcScan() {
    Session& s = ctx_.session;
    TfGraphs* g = ctx_.windowAs<TfGraphs>(WindowId::Graphs);
    if (!cbPlot_->isChecked()) {
        ctx_.messages.info("\"show graph\" is off: the tuning scan is not run.");
        return;
    }
    const TuningScanInputs in = scanInputs();
    // Every check comes before a file is touched or a curve opened.
    const TuningScanSetup setup = TuningScanCheck(in, list_, s.magnet);
    if (g && !enoughFreeCurves(TfGraphs::MaxCurvNum(), g->CurveCount(), int(setup.harmonics.size()),
                               rbReplace_->isChecked())) {
        ctx_.messages.info(kTooManyCurvesText);
        g->showTool();
        return;
    }
    const TuningScanResult scan = calculated(
        [&] { return TuningScanCalculate(in, list_, s.beam, s.magnet, s.RelBandWidth, ctx_.messages); });

    DataFile file;
    QString fileName;
    if (cbSave_->isChecked()) {
        fileName = ctx_.dialogs.saveFileName(
            this, QStringLiteral("save tuning curves"), QStringLiteral("tuning_scan.txt"),
            QStringLiteral("text files (*.txt *.dat);;all files (*)"), QStringLiteral("txt"));
        if (!fileName.isEmpty() && !file.open(fileName.toStdString()))
            ctx_.messages.info("the file " + fileName.toStdString() +
                               " cannot be created; the tuning curves are not saved.");
    }
    for (const TuningCurve& curve : scan.curves) {
        for (size_t j = 0; j < curve.x.size(); ++j) file.write(tuningFileLine(curve.x[j], curve.y[j]));
        if (!g) continue;
        if (rbAdd_->isChecked()) {
            g->addGraph();
        } else {
            g->replaceGraph();
            rbAdd_->setChecked(true);  // the later harmonics join the new graph
        }
        g->NewCurve();
        for (const auto& [line, t] : curve.info) g->addInfo(line, qs(t));
        for (size_t j = 0; j < curve.x.size(); ++j) g->LoadData(kRedCurve, curve.x[j], curve.y[j]);
        g->XAxis(qs(scan.xCaption));
        if (!scan.yCaption.empty()) g->YAxis(qs(scan.yCaption));
    }
    if (file.isOpen() && !file.close())
        ctx_.messages.info("writing the file " + fileName.toStdString() + " failed; the file is incomplete.");
    if (g) g->showCurves();
}

}  // namespace lumerad
