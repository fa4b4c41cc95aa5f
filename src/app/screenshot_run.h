#pragma once

#include <QString>

namespace bs::app {

class MainWindow;

// Fills the file boxes as if the user had typed them (a new-file name switches to New File).
void prefill(MainWindow& window, const QString& input, const QString& newFile, const QString& zip);

// Presses the batch run once the window is up, saves a picture of the screen whenever a message
// box is up (the last one wins) and answers it with its default button, saves the window as the
// run left it to NAME-after.png, then ends the program.  Without a payment file it saves the
// window as it starts.  For screenshots of the window and for checking a build by eye.
void startScreenshotRun(MainWindow& window, const QString& pngPath);

}  // namespace bs::app
