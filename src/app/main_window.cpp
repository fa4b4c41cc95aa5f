#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QShortcut>
#include <QSvgRenderer>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>

#include "app/about_box.h"
#include "app/grid_view.h"
#include "app/qt_ui.h"
#include "app/record_inspector.h"
#include "app/thai_text.h"
#include "commands/commands.h"

// The pictures are linked into a static library; they must be registered by hand.
static void initBatchsealResources() {
  Q_INIT_RESOURCE(batchseal);
}

namespace bs::app {

namespace {

// The design the window was laid out in: the two groups, 877 pixels wide, centred in a client
// area about 1179 pixels wide, below the two bars (59 + 52 pixels).
constexpr int kDesignWidth = 1179;
constexpr int kBarsHeight = 111;
constexpr int kGroupWidth = 877;
constexpr int kInfoTop = 139 - kBarsHeight;
constexpr int kInfoHeight = 178;
constexpr int kResultTop = 332 - kBarsHeight;
constexpr int kResultHeight = 393;
constexpr int kMinResultHeight = 220;
constexpr int kMargin = 8;
// In a window narrower than the groups, the text boxes give up width (down to this much less)
// so that their Open and Clear buttons stay in view.
constexpr int kMaxTextBoxCut = 250;

const QColor kBackground(220, 184, 220);
const QColor kBanner(79, 42, 129);

QFont windowFont() {
  QFont f;
  f.setFamilies(
      {QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans"), QStringLiteral("Loma")});
  f.setPixelSize(11);
  // Set, not inherited: the group boxes have bold captions, their controls do not.
  f.setBold(false);
  return f;
}

QFont boldFont(int pixels = 11) {
  QFont f = windowFont();
  f.setPixelSize(pixels);
  f.setBold(true);
  return f;
}

// The command bars are set in a bold Thai face; CordiaUPC's Latin letters are small, so the
// faces that stand in for it are set smaller.
QFont barFont() {
  QFont f;
  f.setFamilies({QStringLiteral("CordiaUPC"), QStringLiteral("Loma"), QStringLiteral("Garuda"),
                 QStringLiteral("Noto Sans Thai")});
  f.setBold(true);
  f.setPixelSize(QFontInfo(f).family() == QStringLiteral("CordiaUPC") ? 19 : 13);
  return f;
}

template <typename W>
W* place(W* widget, const char* name, int x, int y, int w = -1, int h = -1) {
  widget->setObjectName(QString::fromLatin1(name));
  if (w < 0) {
    widget->adjustSize();
    widget->move(x, y);
  } else {
    widget->setGeometry(x, y, w, h);
  }
  return widget;
}

QPushButton* button(QWidget* parent, const char* caption) {
  auto* b = new QPushButton(QString::fromLatin1(caption), parent);
  b->setFont(windowFont());
  b->setAutoDefault(false);
  return b;
}

QLabel* label(QWidget* parent, const char* caption, const QFont& font = windowFont()) {
  auto* l = new QLabel(QString::fromLatin1(caption), parent);
  l->setFont(font);
  return l;
}

QLineEdit* textBox(QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setFont(boldFont());
  return e;
}

QPixmap renderSvg(const QString& resource, QSize size) {
  QSvgRenderer renderer(resource);
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

// Shows a text and, where the text of the widget would change, sets it; remembers what it
// showed so an untouched box keeps the Form's bytes.
void showText(QLineEdit* box, QString& shown, const QString& text) {
  if (box->text() != text) box->setText(text);
  shown = text;
}

}  // namespace

MainWindow::MainWindow(Session& session, QtUi* qtUi) : session_(session), qtUi_(qtUi) {
  initBatchsealResources();
  setObjectName(QStringLiteral("TForm1"));
  setFont(windowFont());
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kBackground);
  setPalette(pal);
  setAutoFillBackground(true);
  // Group captions sit on the frame line, so the controls keep their places below it.
  setStyleSheet(QStringLiteral(
      "QWidget#content { background-color: rgb(220, 184, 220); }"
      "QGroupBox { border: 1px solid #a888a8; border-radius: 2px; margin-top: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px;"
      " padding: 0 3px; }"));
  setWindowIcon(QIcon(QStringLiteral(":/batchseal/run.svg")));
  resize(950, 679);
  move(197, 107);

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  buildBars();
  column->addWidget(ToolBar1);
  column->addWidget(ToolBar2);

  auto* scroll = new QScrollArea(central);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  content_ = new QWidget;
  content_->setObjectName(QStringLiteral("content"));
  content_->setMinimumSize(kGroupWidth - kMaxTextBoxCut + 2 * kMargin,
                           kResultTop + kMinResultHeight + 12);
  content_->installEventFilter(this);
  scroll->setWidget(content_);
  column->addWidget(scroll, 1);
  setCentralWidget(central);

  buildInformation(content_);
  buildResult(content_);
  addShortcuts();
  connectInspector();

  // A payment file or an archive dropped on the window, or on one of its file boxes, is named
  // in its box.
  setAcceptDrops(true);
  for (QLineEdit* box : {edtFileInput, edtNewFile, edtZip, edtHashvalue})
    box->installEventFilter(this);

  if (qtUi_) {
    qtUi_->onFormChanged = [this] { refresh(); };
    qtUi_->onExit = [this] {
      close();
      QCoreApplication::exit(0);
    };
  }
  refresh();
}

void MainWindow::buildBars() {
  ToolBar1 = new QWidget;
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setFixedHeight(59);
  QPalette banner = ToolBar1->palette();
  banner.setColor(QPalette::Window, kBanner);
  ToolBar1->setPalette(banner);
  ToolBar1->setAutoFillBackground(true);
  Image1 = place(new QLabel(ToolBar1), "Image1", 0, 2, 153, 55);
  Image1->setPixmap(renderSvg(QStringLiteral(":/batchseal/logo.svg"), QSize(150, 55)));
  connectAboutBox(this, Image1, QString::fromStdString(session_.paths.programFolder.string()));

  ToolBar2 = new QFrame;
  ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
  ToolBar2->setFixedHeight(52);
  ToolBar2->setFrameShape(QFrame::NoFrame);
  ToolBar2->setStyleSheet(QStringLiteral(
      "QFrame#ToolBar2 { border-top: 1px solid #8c6c8c; border-bottom: 1px solid #8c6c8c; }"));
  struct Command {
    QToolButton** target;
    const char* name;
    const char* caption;  // '&' marks the access key
    const char* image;
    Outcome (*handler)(Session&);
  };
  const Command commands[] = {
      {&ToolButton2, "ToolButton2", "E&xit ", "exit", completing<ToolButton1Click>},
      {&ToolButton6, "ToolButton6", "       &Batchseal       ", "run", ToolButton3Click},
      {&ToolButton7, "ToolButton7", "&Report", "report", ToolButton4Click},
      {&ToolButton8, "ToolButton8", "Clear &Form", "clear", completing<ToolButton5Click>},
  };
  int x = 0;
  for (const Command& c : commands) {
    auto* b = place(new QToolButton(ToolBar2), c.name, x, 2, 120, 47);
    b->setText(QString::fromLatin1(c.caption));
    b->setFont(barFont());
    // A caption wider than the button in the face that stands in for CordiaUPC widens it
    // rather than being cut.
    b->resize(std::max(120, b->sizeHint().width()), 47);
    b->setIcon(QIcon(QStringLiteral(":/batchseal/%1.svg").arg(QLatin1String(c.image))));
    b->setIconSize(QSize(16, 16));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    connect(b, &QToolButton::clicked, this, [this, h = c.handler] { run(h); });
    *c.target = b;
    x += b->width();
  }
  Button1 = place(new QPushButton(QStringLiteral("Calculate &Tier Rate Report"), ToolBar2),
                  "Button1", x, 2, 192, 47);
  Button1->setFont(barFont());
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, [this] { run(MCLFeeClick); });
}

void MainWindow::buildInformation(QWidget* parent) {
  GroupBox1 = place(new QGroupBox(QStringLiteral("Information"), parent), "GroupBox1", 151,
                    kInfoTop, kGroupWidth, kInfoHeight);
  GroupBox1->setFont(boldFont());
  QWidget* g = GroupBox1;
  Label1 = place(label(g, "File Name"), "Label1", 73, 43);
  edtFileInput = place(textBox(g), "edtFileInput", 158, 38, 503, 21);
  btnOpenFile = place(button(g, "&Open"), "btnOpenFile", 676, 39, 69, 21);
  btnClearFile = place(button(g, "&Clear"), "btnClearFile", 744, 39, 65, 21);

  GroupBox3 = place(new QGroupBox(QStringLiteral("Output File"), g), "GroupBox3", 61, 79, 772, 85);
  GroupBox3->setFont(windowFont());
  QWidget* o = GroupBox3;
  rdoReplace = place(new QRadioButton(QStringLiteral("Replace"), o), "rdoReplace", 9, 12);
  rdoNew = place(new QRadioButton(QStringLiteral("New File"), o), "rdoNew", 79, 12);
  Label3 = place(label(o, "New File Name"), "Label3", 10, 33);
  edtNewFile = place(textBox(o), "edtNewFile", 98, 29, 503, 21);
  btnOpenNew = place(button(o, "O&pen"), "btnOpenNew", 614, 29, 69, 21);
  btnClearNew = place(button(o, "Cl&ear"), "btnClearNew", 682, 29, 69, 21);
  Label7 = place(label(o, "Zip File Name"), "Label7", 15, 58);
  edtZip = place(textBox(o), "edtZip", 98, 55, 503, 21);
  btnOpenZip = place(button(o, "Ope&n"), "btnOpenZip", 614, 55, 69, 21);
  btnClearZip = place(button(o, "Cle&ar"), "btnClearZip", 682, 55, 69, 21);

  // The Form decides which radio button is checked; Qt's own exclusivity would check one
  // before the handler has run.
  rdoReplace->setAutoExclusive(false);
  rdoNew->setAutoExclusive(false);
  connect(rdoReplace, &QRadioButton::clicked, this, [this] { run(checkReplace); });
  connect(rdoNew, &QRadioButton::clicked, this, [this] { run(checkNew); });
  connect(btnOpenFile, &QPushButton::clicked, this, [this] { run(btnOpenFileClick); });
  connect(btnClearFile, &QPushButton::clicked, this, [this] { run(btnClearFileClick); });
  connect(btnOpenNew, &QPushButton::clicked, this, [this] { run(btnOpenNewClick); });
  connect(btnClearNew, &QPushButton::clicked, this, [this] { run(btnClearNewClick); });
  connect(btnOpenZip, &QPushButton::clicked, this, [this] { run(btnOpenZipClick); });
  connect(btnClearZip, &QPushButton::clicked, this, [this] { run(btnClearZipClick); });
}

void MainWindow::buildResult(QWidget* parent) {
  GroupBox4 = place(new QGroupBox(QStringLiteral("Result"), parent), "GroupBox4", 151, kResultTop,
                    kGroupWidth, kResultHeight);
  GroupBox4->setFont(boldFont());
  QWidget* g = GroupBox4;
  Label2 = place(label(g, "Hash value"), "Label2", 88, 34);
  edtHashvalue = place(textBox(g), "edtHashvalue", 166, 30, 491, 21);
  edtHashvalue->setFrame(false);
  Label5 = place(label(g, "", boldFont(16)), "Label5", 243, 60, 400, 20);
  Label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label4 = place(label(g, "", boldFont(16)), "Label4", 2, 75, 600, 20);
  QPalette red = Label4->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label4->setPalette(red);
  QPalette black = Label5->palette();
  black.setColor(QPalette::WindowText, Qt::black);
  Label5->setPalette(black);
  StringGrid1 = place(new GridView(session_.form.StringGrid1, g), "StringGrid1", 3, 105, 830, 280);
  QFont gridFont = windowFont();
  gridFont.setFamilies(
      {QStringLiteral("DejaVu Sans"), QStringLiteral("Loma"), QStringLiteral("Noto Sans Thai")});
  StringGrid1->setFont(gridFont);
  // Beyond the last cell the grid shows its own colour, not the window's.
  QPalette gridPalette = StringGrid1->palette();
  gridPalette.setColor(QPalette::Window, gridPalette.color(QPalette::Base));
  StringGrid1->setPalette(gridPalette);
  StringGrid1->horizontalHeader()->setPalette(gridPalette);
  StringGrid1->verticalHeader()->setPalette(gridPalette);
  StringGrid1->horizontalHeader()->setFont(gridFont);
  StringGrid1->verticalHeader()->setFont(gridFont);
  btnSaveError = place(button(g, "&Save"), "btnSaveError", 818, 61, 47, 21);
  connect(btnSaveError, &QPushButton::clicked, this, [this] { run(btnSaveErrorClick); });
}

// Conventional shortcuts beside the access keys of the captions; the tooltips name both.
void MainWindow::addShortcuts() {
  struct Key {
    QAbstractButton* button;
    const char* tip;
    QKeySequence shortcut;
  };
  const Key keys[] = {
      {ToolButton2, "Exit the program", QKeySequence(Qt::CTRL | Qt::Key_Q)},
      {ToolButton6, "Check, seal and zip the payment file", QKeySequence(Qt::Key_F5)},
      {ToolButton7, "Show the payment reports of the last run", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {ToolButton8, "Clear the form", QKeySequence()},
      {Button1, "Calculate the tier rate fee report", QKeySequence(Qt::CTRL | Qt::Key_T)},
      {btnOpenFile, "Choose the payment file", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {btnClearFile, "Empty the file name", QKeySequence()},
      {btnOpenNew, "Choose the new file name", QKeySequence()},
      {btnClearNew, "Empty the new file name", QKeySequence()},
      {btnOpenZip, "Choose the zip file name", QKeySequence()},
      {btnClearZip, "Empty the zip file name", QKeySequence()},
      {btnSaveError, "Save the error list to a text file", QKeySequence(Qt::CTRL | Qt::Key_S)},
  };
  for (const Key& k : keys) {
    QStringList names;
    if (!k.shortcut.isEmpty()) {
      names << k.shortcut.toString(QKeySequence::NativeText);
      auto* shortcut = new QShortcut(k.shortcut, this);
      QAbstractButton* b = k.button;
      connect(shortcut, &QShortcut::activated, this, [b] {
        if (b->isEnabled()) b->click();
      });
    }
    const QString caption = k.button->text();
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (amp >= 0 && amp + 1 < caption.size())
      names << QStringLiteral("Alt+") + caption.at(amp + 1).toUpper();
    k.button->setToolTip(QString::fromLatin1(k.tip) + QStringLiteral(" (") +
                         names.join(QStringLiteral(", ")) + QLatin1Char(')'));
  }
}

// The local file that a drag carries, or nothing.
static QString draggedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return {};
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile()) return QDir::toNativeSeparators(url.toLocalFile());
  return {};
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy_ && !draggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = draggedFile(event->mimeData());
  if (path.isEmpty()) return;
  dropFile(path, nullptr);
  event->acceptProposedAction();
}

// An archive goes to the zip box, a file dropped on the enabled new-file box or on the zip box
// goes there, any other file is the payment file.
void MainWindow::dropFile(const QString& path, QObject* onto) {
  if (busy_) return;
  writeBack();
  Form& f = session_.form;
  TextBox* box = &f.edtFileInput;
  if (onto == edtZip || path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive))
    box = &f.edtZip;
  else if (onto == edtNewFile && f.edtNewFile.enabled)
    box = &f.edtNewFile;
  box->text = toPath(path);
  refresh();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == content_ && event->type() == QEvent::Resize) layOut();
  if (watched == StringGrid1 && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && inspector_->isVisible()) {
    inspector_->hide();
    return true;
  }
  // The text boxes would insert a dropped file's address as text; they take its path instead.
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
      if (watched != content_ && !busy_ &&
          !draggedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
        static_cast<QDropEvent*>(event)->acceptProposedAction();
        return true;
      }
      break;
    case QEvent::Drop:
      if (watched != content_) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = draggedFile(drop->mimeData());
        if (path.isEmpty()) break;
        dropFile(path, watched);
        drop->acceptProposedAction();
        return true;
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// The groups keep their design positions in a window of the design's size and grow in
// proportion with a larger one; the grid takes what the result group gains.  In a narrower
// window the groups shrink to it and the text boxes give up the width, so every button stays
// in view.
void MainWindow::layOut() {
  const int W = content_->width();
  const int H = content_->height();
  int gw =
      std::max(kGroupWidth,
               static_cast<int>(std::lround(kGroupWidth * static_cast<double>(W) / kDesignWidth)));
  if (W - 2 * kMargin < kGroupWidth) gw = std::max(kGroupWidth - kMaxTextBoxCut, W - 2 * kMargin);
  const int left = std::max(kMargin, (W - gw) / 2);
  const int dx = std::max(0, (gw - kGroupWidth) / 2);  // inner controls stay centred
  const int cut = std::max(0, kGroupWidth - gw);

  GroupBox1->setGeometry(left, kInfoTop, gw, kInfoHeight);
  Label1->move(73 + dx, 43);
  edtFileInput->setGeometry(158 + dx, 38, 503 - cut, 21);
  btnOpenFile->move(676 + dx - cut, 39);
  btnClearFile->move(744 + dx - cut, 39);
  GroupBox3->setGeometry(61 + dx, 79, 772 - cut, 85);
  edtNewFile->setGeometry(98, 29, 503 - cut, 21);
  btnOpenNew->move(614 - cut, 29);
  btnClearNew->move(682 - cut, 29);
  edtZip->setGeometry(98, 55, 503 - cut, 21);
  btnOpenZip->move(614 - cut, 55);
  btnClearZip->move(682 - cut, 55);

  const int gh = std::max(kMinResultHeight, H - kResultTop - 12);
  GroupBox4->setGeometry(left, kResultTop, gw, gh);
  const int gridWidth = gw - (kGroupWidth - 830);
  Label2->move(88 + dx, 34);
  edtHashvalue->setGeometry(166 + dx, 30, std::min(491, gw - 166 - kMargin), 21);
  btnSaveError->move(gw - (kGroupWidth - 818), 61);
  Label4->setGeometry(3, 75, gridWidth, 22);
  Label5->setGeometry(3, 58, gridWidth, 20);
  StringGrid1->setGeometry(3, 105, gridWidth, gh - (kResultHeight - 280) - 8);
}

// A click, Enter or a double-click on a row of the error list or of a pre-check list shows its
// record; moving to another row shows that one while the inspector is open.
void MainWindow::connectInspector() {
  inspector_ = new RecordInspector(this);
  connect(StringGrid1, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { inspectRow(index.row() + 1); });
  connect(StringGrid1, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { inspectRow(index.row() + 1); });
  connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (inspector_->isVisible() && current.isValid()) inspectRow(current.row() + 1);
          });
  // Escape in the list closes it too.
  StringGrid1->installEventFilter(this);
}

bool MainWindow::inspectRow(int row) {
  if (busy_) return false;
  // A click, its double-click and the change of the current row ask for the same record.
  if (inspector_->isVisible() && row == inspectedRow_) return true;
  if (!inspector_->showRow(session_, row)) return false;
  inspectedRow_ = row;
  if (!inspector_->isVisible()) {
    // Over the file boxes, which are not needed while the list is gone through; the list
    // stays in view below it.
    const QRect frame = geometry();
    const int gridTop = StringGrid1->mapToGlobal(QPoint(0, 0)).y();
    const int height = std::max(300, gridTop - frame.y() - 20);
    inspector_->setGeometry(frame.x() + 12, frame.y() + 8, std::max(frame.width() - 24, 600),
                            height);
    inspector_->show();
  }
  return true;
}

void MainWindow::writeBack() {
  Form& f = session_.form;
  if (edtFileInput->text() != shownFileInput_) f.edtFileInput.text = toPath(edtFileInput->text());
  if (edtNewFile->text() != shownNewFile_) f.edtNewFile.text = toPath(edtNewFile->text());
  if (edtZip->text() != shownZip_) f.edtZip.text = toPath(edtZip->text());
  if (edtHashvalue->text() != shownHash_) f.edtHashvalue.text = toThai(edtHashvalue->text());
}

void MainWindow::run(void (*handler)(Session&)) {
  runGuarded([&] {
    placeFileDialog(handler);
    runCommand(session_, handler);
  });
}

void MainWindow::run(Outcome (*handler)(Session&)) {
  runGuarded([&] {
    placeFileDialog(nullptr);
    runCommand(session_, handler);
  });
}

void MainWindow::placeFileDialog(void (*handler)(Session&)) {
  if (!qtUi_) return;
  // The file dialog a command shows is titled for what it chooses and starts where its field
  // points.
  const Form& f = session_.form;
  if (handler == btnOpenFileClick)
    qtUi_->setFileDialogPlace(QStringLiteral("Open payment file"), fromPath(f.edtFileInput.text));
  else if (handler == btnOpenNewClick)
    qtUi_->setFileDialogPlace(QStringLiteral("New file name"), fromPath(f.edtNewFile.text));
  else if (handler == btnOpenZipClick)
    qtUi_->setFileDialogPlace(QStringLiteral("Zip file name"), fromPath(f.edtZip.text));
  else if (handler == btnSaveErrorClick)
    qtUi_->setFileDialogPlace(QStringLiteral("Save error list"), QString());
  else
    qtUi_->setFileDialogPlace(QString(), QString());
}

void MainWindow::runGuarded(const std::function<void()>& command) {
  // Commands run one at a time; a click that reaches the window while one runs is dropped.
  if (busy_) return;
  busy_ = true;
  // The rows it showed are about to go.
  if (inspector_) inspector_->hide();
  inspectedRow_ = 0;
  writeBack();
  command();
  if (qtUi_) qtUi_->commandEnded();
  busy_ = false;
  refresh();
}

void MainWindow::refresh() {
  const Form& f = session_.form;
  setWindowTitle(fromThai(f.caption));
  auto enable = [](QWidget* w, bool on) { w->setEnabled(on); };
  showText(edtFileInput, shownFileInput_, fromPath(f.edtFileInput.text));
  showText(edtNewFile, shownNewFile_, fromPath(f.edtNewFile.text));
  showText(edtZip, shownZip_, fromPath(f.edtZip.text));
  showText(edtHashvalue, shownHash_, fromThai(f.edtHashvalue.text));
  enable(edtFileInput, f.edtFileInput.enabled);
  enable(edtNewFile, f.edtNewFile.enabled);
  enable(edtZip, f.edtZip.enabled);
  enable(edtHashvalue, f.edtHashvalue.enabled);
  rdoReplace->setChecked(f.rdoReplace.checked);
  rdoNew->setChecked(f.rdoNew.checked);
  enable(rdoReplace, f.rdoReplace.enabled);
  enable(rdoNew, f.rdoNew.enabled);
  enable(Label3, f.Label3.enabled);
  Label4->setText(fromThai(f.Label4.caption));
  Label5->setText(fromThai(f.Label5.caption));
  enable(ToolButton2, f.ToolButton2.enabled);
  enable(ToolButton6, f.ToolButton6.enabled);
  enable(ToolButton7, f.ToolButton7.enabled);
  enable(ToolButton8, f.ToolButton8.enabled);
  enable(Button1, f.Button1.enabled);
  enable(btnOpenFile, f.btnOpenFile.enabled);
  enable(btnClearFile, f.btnClearFile.enabled);
  enable(btnOpenNew, f.btnOpenNew.enabled);
  enable(btnClearNew, f.btnClearNew.enabled);
  enable(btnOpenZip, f.btnOpenZip.enabled);
  enable(btnClearZip, f.btnClearZip.enabled);
  enable(btnSaveError, f.btnSaveError.enabled);
  StringGrid1->refresh();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing the window ends the program without asking.
  event->accept();
  QMainWindow::closeEvent(event);
}

}  // namespace bs::app
