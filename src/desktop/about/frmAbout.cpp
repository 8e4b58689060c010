#include "desktop/about/frmAbout.h"

#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <cstring>

#include "core/model/NumText.h"
#include "desktop/platform/Fonts.h"
#include "desktop/platform/TextFit.h"

namespace about {

namespace {

// Values longer than the read buffer are not read.
constexpr qsizetype kValueBuffer = 1024;

// What the program shows and for whom; sentences about where its values come from follow it.
const QString kDescription =
    QStringLiteral("化学の授業で蒸気圧曲線を見せる教材です。");
const QString kDisclaimer =
    QStringLiteral("表示する値は授業で使うための目安で、実験や測定の代わりにはなりません。このソフトウェアは無保証です。");

const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");
const QString kToolFile = QStringLiteral("\\MSINFO32.EXE");

// Where the pressures come from, one sentence for each table the user can choose; follows
// the description as a paragraph of its own.
const QString kValueSources = QStringLiteral(
    "標準の値はクラウジウス・クラペイロン式のモデル値です。"
    "文献値はIAPWS式とアントワン式による実測の値です。");

QString Text(std::string s)
{
    return QString::fromStdString(s);
}

// A 32-bit number value as decimal text; nobody reads these, the form only has to be stable.
QString DwordText(const QByteArray& data)
{
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | (i < data.size() ? static_cast<std::uint8_t>(data[i]) : 0u);
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return Text(numtext::FormatWhole(value));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect place, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect place, const QFont& font)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(place);
    button->setFont(font);
    return button;
}

} // namespace

AppVersion ApplicationVersion()
{
    return {VAPORIA_VERSION_MAJOR, VAPORIA_VERSION_MINOR, VAPORIA_VERSION_PATCH};
}

AboutServices DefaultAboutServices()
{
    AboutServices s;
    s.registry = std::make_shared<SysInfoToolRegistry>();
    s.fileExists = [](const QString& path) { return QFileInfo(path).isFile(); };
    s.startProgram = [](const QString& program) {
        return !program.isEmpty() && QProcess::startDetached(program, {});
    };
    s.showMessage = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.exec();
    };
    return s;
}

frmAbout::frmAbout(QWidget* parent, AboutServices services)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services))
{
    setFixedSize(382, 237);
    const QFont font = platform::ProportionalFont(12);
    setFont(font);
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    lblTitle = MakeLabel(this, "lblTitle", QStringLiteral("Vaporiaアプリケーション"), {70, 16, 259, 32},
                         platform::ProportionalFont(24, true));
    lblVersion = MakeLabel(this, "lblVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), {70, 52, 259, 15}, font);
    // One line each, with the height their font needs, and a pixel for the overhang of a
    // first letter such as the V of the title.
    for (QLabel* line : {lblTitle, lblVersion}) {
        line->setWordWrap(false);
        line->setIndent(1);
        platform::GiveLineRoom(*line);
    }
    lblDescription = MakeLabel(this, "lblDescription", kDescription, {70, 75, 259, 78}, font);
    lblDisclaimer = MakeLabel(this, "lblDisclaimer", kDisclaimer, {17, 175, 258, 55}, font);
    cmdOK = MakeButton(this, "cmdOK", QStringLiteral("OK"), {283, 175, 92, 23}, font);
    cmdSysInfo = MakeButton(this, "cmdSysInfo", QStringLiteral("ｼｽﾃﾑ情報(&S)..."), {284, 205, 92, 23}, font);

    // OK is the default button (Enter) and Esc closes the dialog as it does.
    cmdOK->setDefault(true);
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

void frmAbout::Form_Load()
{
    const AppVersion v = ApplicationVersion();
    setWindowTitle(kAppTitle + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + Text(numtext::FormatWhole(v.major)) + '.' +
                        Text(numtext::FormatWhole(v.minor)) + '.' + Text(numtext::FormatWhole(v.revision)));
    lblTitle->setText(kAppTitle);
    lblDescription->setText(lblDescription->text() + QStringLiteral("\n") + kValueSources);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // etched separator: a grey line with a white one below it
    QPainter p(this);
    p.fillRect(QRect(6, 163, 371, 1), QColor(128, 128, 128));
    p.fillRect(QRect(7, 164, 370, 2), QColor(255, 255, 255));
}

void frmAbout::StartSysInfo()
{
    bool started = false;
    try {
        QString sysInfoPath;
        bool found = false;
        switch (ReadKeyValue(RegistryRoot::LocalMachine, kSysInfoKey, kSysInfoValue, sysInfoPath)) {
        case Lookup::Read:
            found = true; // taken as it stands: starting it shows whether it is there
            break;
        case Lookup::Empty:
            break; // a value without data ends the search
        case Lookup::Missing:
            if (ReadKeyValue(RegistryRoot::LocalMachine, kSysInfoLocationKey, kSysInfoLocationValue,
                             sysInfoPath) == Lookup::Read &&
                services_.fileExists(sysInfoPath + kToolFile)) {
                sysInfoPath += kToolFile;
                found = true;
            }
            break;
        }
        started = found && services_.startProgram(sysInfoPath);
    } catch (...) {
        started = false;
    }
    if (!started) services_.showMessage(this, kAppTitle, kUnavailable);
}

bool frmAbout::GetKeyValue(RegistryRoot keyRoot, const QString& keyName, const QString& subKeyRef, QString& keyVal)
{
    if (ReadKeyValue(keyRoot, keyName, subKeyRef, keyVal) == Lookup::Read) return true;
    keyVal.clear();
    return false;
}

frmAbout::Lookup frmAbout::ReadKeyValue(RegistryRoot keyRoot, const QString& keyName, const QString& subKeyRef,
                                        QString& keyVal)
{
    const std::optional<RegistryValue> value = services_.registry->QueryValue(keyRoot, keyName, subKeyRef);
    if (!value || value->data.size() > kValueBuffer) {
        keyVal.clear();
        return Lookup::Missing;
    }
    const QByteArray& data = value->data;
    const qsizetype n = data.size();
    if (n == 0) return Lookup::Empty;
    const QByteArray text = data.left(data[n - 1] == '\0' ? n - 1 : n);
    if (value->type == kRegString)
        keyVal = QString::fromLocal8Bit(text);
    else if (value->type == kRegDword)
        keyVal = DwordText(data);
    // any other type leaves keyVal as it was
    return Lookup::Read;
}

} // namespace about
