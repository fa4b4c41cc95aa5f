#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "commands/version_info.h"

// The licence text is linked into a static library; it must be registered by hand.
static void initAboutResources() {
  Q_INIT_RESOURCE(about);
}

namespace bs::app {

namespace {

QString licenceText() {
  initAboutResources();
  QFile file(QStringLiteral(":/batchseal/LICENSE"));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("MIT License");
  return QString::fromUtf8(file.readAll());
}

// A click on the logo opens the About box.
class LogoClick : public QObject {
 public:
  LogoClick(QObject* parent, std::function<void()> open) : QObject(parent), open_(open) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      open_();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> open_;
};

}  // namespace

AboutBox::AboutBox(const QString& programFolder, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Batchseal"));
  auto* column = new QVBoxLayout(this);

  auto* title = new QLabel(QStringLiteral("<b style='font-size:large'>Batchseal %1</b>")
                               .arg(QString::fromStdString(programVersion()).toHtmlEscaped()));
  column->addWidget(title);
  column->addWidget(new QLabel(QStringLiteral(
      "Checks bulk-payment files against the bank's record rules and seals them for submission.")));

  const auto libraries = libraryVersions();
  auto* table = new QTableWidget(int(libraries.size()), 3);
  table->setObjectName(QStringLiteral("libraries"));
  table->setHorizontalHeaderLabels(
      {QStringLiteral("Library"), QStringLiteral("Version"), QStringLiteral("Licence")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  for (int row = 0; row < int(libraries.size()); ++row) {
    const LibraryInfo& l = libraries[std::size_t(row)];
    table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(l.name)));
    table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(l.version)));
    table->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(l.licence)));
  }
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  // Every row shows without scrolling.
  table->setMinimumHeight(table->horizontalHeader()->height() + table->verticalHeader()->length() +
                          2 * table->frameWidth());
  table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  column->addWidget(new QLabel(QStringLiteral("Built on:")));
  column->addWidget(table);

  auto* folder =
      new QLabel(QStringLiteral("Program folder: %1").arg(QDir::toNativeSeparators(programFolder)));
  folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  folder->setWordWrap(true);
  column->addWidget(folder);

  column->addWidget(
      new QLabel(QStringLiteral("Batchseal is free software under the MIT License:")));
  auto* licence = new QPlainTextEdit(licenceText());
  licence->setObjectName(QStringLiteral("licence"));
  licence->setReadOnly(true);
  licence->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The licence's lines are shown whole, as they are written.
  licence->setLineWrapMode(QPlainTextEdit::NoWrap);
  const QFontMetrics metrics(licence->font());
  int widest = 0;
  for (const QString& line : licence->toPlainText().split(QLatin1Char('\n')))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  licence->setMinimumSize(
      widest + licence->verticalScrollBar()->sizeHint().width() + 2 * licence->frameWidth() +
          2 * int(licence->document()->documentMargin()) + metrics.averageCharWidth(),
      metrics.lineSpacing() * 12);
  column->addWidget(licence, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  column->addWidget(buttons);
}

void connectAboutBox(QMainWindow* window, QLabel* logo, const QString& programFolder) {
  auto open = [window, programFolder] {
    AboutBox box(programFolder, window);
    box.exec();
  };
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
  f1->setContext(Qt::WindowShortcut);
  QObject::connect(f1, &QShortcut::activated, window, open);
  if (logo) {
    logo->installEventFilter(new LogoClick(logo, open));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setToolTip(QStringLiteral("About Batchseal (F1)"));
  }
}

}  // namespace bs::app
