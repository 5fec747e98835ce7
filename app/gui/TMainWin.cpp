#include "app/gui/TMainWin.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/core/ConnectionIndicator.h"
#include "app/core/FileOpenDialog.h"
#include "app/core/ImportProgress.h"
#include "app/core/LogSink.h"
#include "app/core/MessageBoxes.h"
#include "app/gui/TDBGrid.h"
#include "app/gui/TShape.h"
#include "app/gui/TStatusLog.h"
#include "framework/NumberText.h"
#include "mysql/TZMonitor.h"
#include "mysql/TZMySqlDatabase.h"

// The pictures are compiled into the program (artwork.qrc); a static library has to ask for
// them by name, outside any namespace.
static void InitArtwork() {
  Q_INIT_RESOURCE(artwork);
}

namespace tabulix::app {

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);
const QColor kCountColour(128, 0, 64);
const QColor kSilver(192, 192, 192);

constexpr int kFieldGridColumns = 5;
constexpr int kFieldGridWidths[] = {110, 49, 54, 98};
constexpr int kDefaultColumnWidth = 64;

// The window's design names fonts of another platform; where they are missing the closest
// installed ones stand in, the first found of each list.
void InstallFontSubstitutes() {
  QFont::insertSubstitutions(
      QStringLiteral("MS Sans Serif"),
      {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed")});
  QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                       QStringLiteral("DejaVu Sans Condensed")});
  QFont::insertSubstitutions(QStringLiteral("Arial Black"),
                             {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
  QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                             QStringLiteral("DejaVu Sans Mono")});
}

QFont PixelFont(const QString& family, int pixels, QFont::Weight weight = QFont::Normal) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setWeight(weight);
  return font;
}

QFont PointFont(const QString& family, int points) {
  QFont font(family);
  font.setPointSize(points);
  return font;
}

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent = nullptr) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QFrame* Panel(const QString& name) {
  auto* panel = new QFrame;
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  return panel;
}

// The file-open dialog of a load whose file is already known.
class ChosenFile final : public FileOpenDialog {
 public:
  explicit ChosenFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> Execute(const std::string& /*initialFolder*/) override {
    return path_;
  }

 private:
  std::string path_;
};

}  // namespace

class TMainWin::EngineFrontEnd final : public LogSink,
                                       public ConnectionIndicator,
                                       public ImportProgress {
 public:
  explicit EngineFrontEnd(TMainWin& window) : window_(window) {}
  void Clear() override { window_.MemoStatus->Clear(); }
  void Add(std::string_view line) override { window_.MemoStatus->Add(line); }
  void ShowConnected(bool connected) override {
    if (connected) {
      window_.ZMySqlDatabase1AfterConnect();
    } else {
      window_.ZMySqlDatabase1AfterDisconnect();
    }
    // The run does not return to the event loop: the lines up to this step are shown with
    // the indicator's change.
    window_.MemoStatus->Flush();
  }
  void Update(std::int64_t done, std::int64_t total, double rowsPerSecond) override {
    window_.ShowProgress(done, total, rowsPerSecond);
  }
  void Finish() override { window_.EndProgress(); }

 private:
  TMainWin& window_;
};

TMainWin::TMainWin(Services services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      frontEnd_(std::make_unique<EngineFrontEnd>(*this)),
      // The login prompt and the wait cursor are the ones the program installed at start.
      engine_(std::make_unique<ImportEngine>(ImportEngine::Services{.log = frontEnd_.get(),
                                                                    .messages = services_.messages,
                                                                    .login = services_.login,
                                                                    .cursor = services_.cursor,
                                                                    .indicator = frontEnd_.get(),
                                                                    .progress = frontEnd_.get()})) {
  InitArtwork();
  InstallFontSubstitutes();
  setObjectName(QStringLiteral("MainWin"));
  setWindowTitle(QStringLiteral("Paradox & dBase to mySQL - Tabulix-Converter"));
  setFont(PointFont(QStringLiteral("MS Sans Serif"), 8));
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  resize(900, 650);

  ImageList1 = {QPixmap(QStringLiteral(":/artwork/import.png")),
                QPixmap(QStringLiteral(":/artwork/load.png"))};

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  QFrame* panel1 = Panel(QStringLiteral("Panel1"));
  panel1->setFixedWidth(325);
  auto* left = new QVBoxLayout(panel1);
  left->setContentsMargins(4, 4, 4, 4);
  left->setSpacing(4);
  left->addWidget(CreateTargetBox());
  left->addWidget(CreateSourceBox(), 1);
  body->addWidget(panel1);
  body->addWidget(CreateRecordPanel(), 1);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);
  root->addWidget(CreateToolBar());
  root->addLayout(body, 1);

  connect(ToolButtonLoadSourceDB, &QToolButton::clicked, this,
          [this] { Guarded([this] { ToolButtonLoadSourceDBClick(); }); });
  connect(ToolButtonImport2MySQL, &QToolButton::clicked, this,
          [this] { Guarded([this] { ToolButtonImport2MySQLClick(); }); });
  engine_->ZMonitor1().SetOnMonitorEvent([this](const std::string& sql, const std::string& result) {
    ZMonitor1MonitorEvent(sql, result);
  });
  FormCreate();
}

TMainWin::~TMainWin() {
  // The record grid lets go of the table before the table goes.
  DBGrid->SetDataSet(nullptr);
}

QWidget* TMainWin::CreateToolBar() {
  auto* bar = new QFrame;
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bar->setLineWidth(2);
  bar->setFixedHeight(61);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(4, 2, 12, 2);
  layout->setSpacing(1);
  auto button = [&](const QString& name, const QPixmap& image) {
    auto* b = new QToolButton;
    b->setObjectName(name);
    b->setFixedSize(60, 45);
    b->setIcon(QIcon(image));
    b->setIconSize(QSize(50, 32));
    b->setAutoRaise(true);
    layout->addWidget(b);
    return b;
  };
  ToolButtonLoadSourceDB = button(QStringLiteral("ToolButtonLoadSourceDB"), ImageList1[1]);
  ToolButtonLoadSourceDB->setToolTip(QStringLiteral("Quelldatei auswählen..."));
  ToolButtonImport2MySQL = button(QStringLiteral("ToolButtonImport2MySQL"), ImageList1[0]);
  // The separator pushes the version label to the right edge.
  auto* separator = new QWidget;
  separator->setObjectName(QStringLiteral("ToolButton1"));
  layout->addWidget(separator, 1);
  ProgVersion = NamedLabel(QStringLiteral("ProgVersion"), QString());
  ProgVersion->setFont(PixelFont(QStringLiteral("Arial Black"), 16, QFont::Black));
  layout->addWidget(ProgVersion);
  return bar;
}

QWidget* TMainWin::CreateTargetBox() {
  auto* box = new QGroupBox(QStringLiteral("mySQL-RDBMS"));
  box->setObjectName(QStringLiteral("GroupBox3"));
  box->setFixedHeight(86);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(6);
  auto edit = [](const QString& name, const QString& text) {
    auto* e = new QLineEdit(text);
    e->setObjectName(name);
    return e;
  };
  EditMySQLdb = edit(QStringLiteral("EditMySQLdb"), QString());
  EditMySQLtable = edit(QStringLiteral("EditMySQLtable"), QString());
  EditMySQLhost = edit(QStringLiteral("EditMySQLhost"), QStringLiteral("localhost"));
  grid->addWidget(NamedLabel(QStringLiteral("Label2"), QStringLiteral("Database")), 0, 0);
  grid->addWidget(EditMySQLdb, 0, 1);
  grid->addWidget(NamedLabel(QStringLiteral("Label4"), QStringLiteral("Host")), 0, 2);
  grid->addWidget(EditMySQLhost, 0, 3);
  grid->addWidget(NamedLabel(QStringLiteral("Label3"), QStringLiteral("Table")), 1, 0);
  grid->addWidget(EditMySQLtable, 1, 1);
  CheckBulk = new QCheckBox(QStringLiteral("Bulk load"));
  CheckBulk->setObjectName(QStringLiteral("CheckBulk"));
  CheckBulk->setToolTip(
      QStringLiteral("Send the records in large units, each one transaction, instead of one "
                     "INSERT per record: the same table and values, far faster"));
  // Beside the indicator, under the host.
  grid->addWidget(CheckBulk, 1, 2, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
  LEDconnect = new TShape;
  LEDconnect->setObjectName(QStringLiteral("LEDconnect"));
  LEDconnect->setFixedSize(19, 15);
  LEDconnect->setToolTip(QStringLiteral("mySQL-Verbindung"));
  grid->addWidget(LEDconnect, 1, 3, Qt::AlignRight | Qt::AlignBottom);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  return box;
}

QWidget* TMainWin::CreateSourceBox() {
  auto* box = new QGroupBox(QStringLiteral("BDE-Database"));
  box->setObjectName(QStringLiteral("GroupBox2"));
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->setSpacing(3);

  LabelBDEdb = NamedLabel(QStringLiteral("LabelBDEdb"), QStringLiteral("BDE-Database"));
  LabelBDEdb->setFont(PixelFont(QStringLiteral("Arial Black"), 15, QFont::Bold));
  SetColour(LabelBDEdb, QPalette::WindowText, kMaroon);
  layout->addWidget(LabelBDEdb);

  auto* counts = new QGridLayout;
  counts->setHorizontalSpacing(8);
  counts->setVerticalSpacing(2);
  LabelDSzahl = NamedLabel(QStringLiteral("LabelDSzahl"), QStringLiteral("0"));
  LabelFDzahl = NamedLabel(QStringLiteral("LabelFDzahl"), QStringLiteral("0"));
  for (QLabel* count : {LabelDSzahl, LabelFDzahl}) {
    SetColour(count, QPalette::WindowText, kCountColour);
  }
  counts->addWidget(NamedLabel(QStringLiteral("Label5"), QStringLiteral("Records:")), 0, 0);
  counts->addWidget(LabelDSzahl, 0, 1);
  counts->addWidget(NamedLabel(QStringLiteral("Label6"), QStringLiteral("Fields:")), 1, 0);
  counts->addWidget(LabelFDzahl, 1, 1);
  counts->setColumnStretch(1, 1);
  layout->addLayout(counts);
  layout->addStretch(1);
  layout->addWidget(NamedLabel(QStringLiteral("Label7"), QStringLiteral("Database-Fields:")));

  BDEfieldGrid = new QTableWidget(0, kFieldGridColumns);
  BDEfieldGrid->setObjectName(QStringLiteral("BDEfieldGrid"));
  BDEfieldGrid->setFont(PointFont(QStringLiteral("Arial"), 8));
  BDEfieldGrid->setFixedHeight(377);
  BDEfieldGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  BDEfieldGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  BDEfieldGrid->setShowGrid(true);
  BDEfieldGrid->setWordWrap(false);
  BDEfieldGrid->verticalHeader()->hide();
  BDEfieldGrid->verticalHeader()->setDefaultSectionSize(BDEfieldGrid->fontMetrics().height() + 5);
  BDEfieldGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The five columns are wider than the panel; the last ones stay reachable by scrolling.
  BDEfieldGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QHeaderView* header = BDEfieldGrid->horizontalHeader();
  header->setDefaultSectionSize(kDefaultColumnWidth);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  for (int c = 0; c < 4; ++c) BDEfieldGrid->setColumnWidth(c, kFieldGridWidths[c]);
  layout->addWidget(BDEfieldGrid);
  return box;
}

QWidget* TMainWin::CreateRecordPanel() {
  QFrame* panel = Panel(QStringLiteral("Panel2"));
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);

  DBGrid = new TDBGrid;
  DBGrid->setObjectName(QStringLiteral("DBGrid"));
  DBGrid->SetDataSet(&engine_->TableBDE());
  layout->addWidget(DBGrid, 1);

  // The progress strip keeps its height when idle, so nothing moves when a run starts.
  auto* strip = new QWidget;
  strip->setObjectName(QStringLiteral("ProgressStrip"));
  strip->setFixedHeight(18);
  auto* stripLayout = new QHBoxLayout(strip);
  stripLayout->setContentsMargins(0, 0, 0, 0);
  Progress = new QProgressBar;
  Progress->setObjectName(QStringLiteral("Progress"));
  Progress->setTextVisible(false);
  Progress->setFixedHeight(14);
  ProgressText = NamedLabel(QStringLiteral("ProgressText"), QString());
  stripLayout->addWidget(Progress, 1);
  stripLayout->addWidget(ProgressText);
  QSizePolicy keep = Progress->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  Progress->setSizePolicy(keep);
  Progress->hide();
  layout->addWidget(strip);

  auto* bottom = new QHBoxLayout;
  bottom->setSpacing(13);
  MemoStatus = new TStatusLog;
  MemoStatus->setObjectName(QStringLiteral("MemoStatus"));
  MemoStatus->setFixedHeight(115);
  MemoStatus->setFont(PixelFont(QStringLiteral("Courier New"), 13));
  SetColour(MemoStatus, QPalette::Base, kSilver);
  SetColour(MemoStatus, QPalette::Text, Qt::black);
  bottom->addWidget(MemoStatus, 1);

  auto* brand = new QVBoxLayout;
  brand->setSpacing(4);
  Image1 = NamedLabel(QStringLiteral("Image1"), QString());
  Image1->setPixmap(QPixmap(QStringLiteral(":/artwork/logo.png")));
  Image1->setFixedSize(167, 87);
  Label1 = NamedLabel(QStringLiteral("Label1"), QStringLiteral("Paradox & dBase \u2192 mySQL"));
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setFixedWidth(167);
  Label1->setWordWrap(true);
  SetColour(Label1, QPalette::WindowText, QColor(64, 64, 64));
  brand->addWidget(Image1);
  brand->addWidget(Label1);
  brand->addStretch(1);
  bottom->addLayout(brand);
  layout->addLayout(bottom);
  return panel;
}

void TMainWin::FormCreate() {
  fieldNames_ = std::make_unique<StringList>();
  fileVersionInfo_.SetExecutableFile(services_.executableFile);
  ProgVersion->setText(QStringLiteral("Tabulix V ") + FromUtf8(fileVersionInfo_.FileVersion()));
  engine_->ZMySqlDatabase1().SetConnected(false);
  settings_ = std::make_unique<Settings>(services_.settingsFile);
  lastSourceFolder_ = settings_->LastDBdir();
  LEDconnect->SetBrushColor(kRed);
}

void TMainWin::FormClose() {
  settings_.reset();
  fieldNames_.reset();
}

void TMainWin::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TMainWin::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (centred_) return;
  centred_ = true;
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void TMainWin::ToolButtonLoadSourceDBClick() {
  LoadSource(*services_.openDialog);
}

void TMainWin::LoadFile(const std::string& path) {
  ChosenFile chosen(path);
  LoadSource(chosen);
}

void TMainWin::ToolButtonImport2MySQLClick() {
  engine_->SetBulk(CheckBulk->isChecked() ? std::optional<TZBulkSettings>(TZBulkSettings{})
                                          : std::nullopt);
  engine_->Import({EditMySQLdb->text().toStdString(), EditMySQLtable->text().toStdString(),
                   EditMySQLhost->text().toStdString()});
}

void TMainWin::ZMonitor1MonitorEvent(const std::string& sql, const std::string& result) {
  engine_->ZMonitor1MonitorEvent(sql, result);
}

void TMainWin::LoadSource(FileOpenDialog& dialog) {
  // The engine clears the log, closes the table, asks the dialog, stores the folder and opens
  // the table; the grid is blanked first, so a cancelled or failed load leaves it blank.
  ClearFieldGrid();
  std::optional<LoadedSource> view = engine_->Load(dialog, lastSourceFolder_, settings_.get());
  if (!view) return;
  engine_->TableBDE().GetFieldNames(*fieldNames_);
  ShowSourceTable(*view);
}

void TMainWin::ClearFieldGrid() {
  BDEfieldGrid->setColumnCount(kFieldGridColumns);
  BDEfieldGrid->clearContents();
  QStringList headers;
  for (const char* header : kFieldGridHeaders) headers << QString::fromLatin1(header);
  BDEfieldGrid->setHorizontalHeaderLabels(headers);
}

void TMainWin::ShowSourceTable(const LoadedSource& view) {
  BDEfieldGrid->setRowCount(static_cast<int>(view.rows.size()));
  for (std::size_t r = 0; r < view.rows.size(); ++r) {
    for (int c = 0; c < kFieldGridColumns; ++c) {
      const std::string& text = view.rows[r][static_cast<std::size_t>(c)];
      BDEfieldGrid->setItem(static_cast<int>(r), c, new QTableWidgetItem(FromUtf8(text)));
    }
  }
  LabelBDEdb->setText(FromUtf8(view.fileName));
  LabelDSzahl->setText(FromUtf8(IntToStr(view.recordCount)));
  LabelFDzahl->setText(QString::number(view.rows.size()));
  BDEfieldGrid->viewport()->update();
}

void TMainWin::ZMySqlDatabase1AfterConnect() {
  LEDconnect->SetBrushColor(kGreen);
  LEDconnect->repaint();
}

void TMainWin::ZMySqlDatabase1AfterDisconnect() {
  LEDconnect->SetBrushColor(kRed);
  LEDconnect->repaint();
}

void TMainWin::ShowProgress(std::int64_t done, std::int64_t total, double rowsPerSecond) {
  // The bar counts in thousandths, so that any record count fits its int range.
  Progress->setRange(0, 1000);
  Progress->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
  Progress->show();
  const QLocale locale;
  QString text = QStringLiteral("%1 of %2 records, %3 rows/s")
                     .arg(locale.toString(static_cast<qlonglong>(done)),
                          locale.toString(static_cast<qlonglong>(total)),
                          locale.toString(static_cast<qlonglong>(rowsPerSecond + 0.5)));
  const std::string left = TimeLeftText(done, total, rowsPerSecond);
  if (!left.empty()) text += QStringLiteral(", ") + QString::fromStdString(left);
  ProgressText->setText(text);
  // Painted now: the run does not return to the event loop, and input must wait for its end.
  Progress->repaint();
  ProgressText->repaint();
  MemoStatus->Flush();
}

void TMainWin::EndProgress() {
  Progress->hide();
  ProgressText->clear();
}

void TMainWin::ReportError(std::exception_ptr error) {
  ReportException(error, *services_.messages);
}

}  // namespace tabulix::app
