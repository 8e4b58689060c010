#pragma once
// The about box: the application's title and version, and a button that starts the
// platform's system-information tool.
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "desktop/about/Registry.h"

class QLabel;
class QPushButton;

namespace about {

inline const QString kAppTitle = QStringLiteral("Vaporia");

struct AppVersion {
    int major;
    int minor;
    int revision;
};
AppVersion ApplicationVersion();

// What the dialog needs from the platform, replaceable for tests.
struct AboutServices {
    std::shared_ptr<const Registry> registry;
    std::function<bool(const QString& path)> fileExists;
    // Starts the program with no arguments and does not wait; false when it cannot start.
    std::function<bool(const QString& program)> startProgram;
    // A message box with only an OK button and no icon, shown modally over parent.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> showMessage;
};

// The real ones: SysInfoToolRegistry, the file system, a detached process and QMessageBox.
AboutServices DefaultAboutServices();

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Builds the controls and runs the load handler. Show it with platform::RunModal.
    explicit frmAbout(QWidget* parent = nullptr, AboutServices services = DefaultAboutServices());

    // Finds and starts the system-information tool, or says that it is unavailable.
    void StartSysInfo();

    // Reads one registry value as text into keyVal. False, with keyVal empty, when the
    // value cannot be read or holds no data.
    bool GetKeyValue(RegistryRoot keyRoot, const QString& keyName, const QString& subKeyRef, QString& keyVal);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Lookup { Read, Missing, Empty };

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    Lookup ReadKeyValue(RegistryRoot keyRoot, const QString& keyName, const QString& subKeyRef, QString& keyVal);

    AboutServices services_;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};

} // namespace about
