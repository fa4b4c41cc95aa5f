#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QMainWindow;

namespace bs::app {

// "About Batchseal": the name and version, the libraries in use with their versions and
// licences, the program folder in use and the program's own licence.
class AboutBox : public QDialog {
 public:
  AboutBox(const QString& programFolder, QWidget* parent = nullptr);
};

// Opens the About box from F1 anywhere in `window` and from a click on `logo`.
void connectAboutBox(QMainWindow* window, QLabel* logo, const QString& programFolder);

}  // namespace bs::app
