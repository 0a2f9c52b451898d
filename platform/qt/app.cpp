#include "platform/qt/app.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "platform/qt/test_seam.h"
#include "platform/qt/wnd.h"
#include "platform/qt/wnd_host.h"

namespace rymd::ui {

void InstallBitmapTextRenderer();  // bmp_text.cpp

namespace {

Wnd* g_mainWindow = nullptr;
bool g_clipboardAvailable = true;
std::optional<Size> g_screenSize;  // the test seam's screen

struct ProfileState {
    std::string company = "MiyabeSoft";
    std::string application = "Ryuumonden";
    std::string file;
    std::unique_ptr<QSettings> settings;

    QSettings& Get() {
        if (!settings) {
            if (!file.empty())
                settings = std::make_unique<QSettings>(QString::fromStdString(file), QSettings::IniFormat);
            else
                settings = std::make_unique<QSettings>(QString::fromStdString(company),
                                                       QString::fromStdString(application));
        }
        return *settings;
    }
};

ProfileState& Prof() {
    static auto* p = new ProfileState;
    return *p;
}

QString Key(std::string_view section, std::string_view entry) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + QLatin1Char('/') +
           QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
}

std::optional<std::string> FileDialog(bool save, Wnd* owner, std::string_view title, std::string_view filter,
                                      std::string_view initialFolder, std::string_view defaultExt) {
    if (test::Script* s = test::Script::Active()) return s->RunFileDialog(title);
    EnsureApplication();
    QWidget* parent = owner ? owner->GetWidget() : (g_mainWindow ? g_mainWindow->GetWidget() : nullptr);
    QFileDialog dlg(parent, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                    QString::fromUtf8(initialFolder.data(), static_cast<qsizetype>(initialFolder.size())),
                    QString::fromStdString(FileDialogFilters(filter)));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!defaultExt.empty())
        dlg.setDefaultSuffix(QString::fromUtf8(defaultExt.data(), static_cast<qsizetype>(defaultExt.size())));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return dlg.selectedFiles().first().toStdString();
}

}  // namespace

namespace test {
void SetClipboardAvailable(bool available) {
    g_clipboardAvailable = available;
}
void SetScreenSize(std::optional<Size> size) {
    g_screenSize = size;
}
}  // namespace test

void EnsureApplication(int argc, char** argv) {
    if (!QCoreApplication::instance()) {
        static int s_argc = 1;
        static char s_name[] = "ryuumonden";
        static char* s_argv[] = {s_name, nullptr};
        if (argc > 0 && argv) {
            s_argc = argc;
            new QApplication(s_argc, argv);
        } else {
            new QApplication(s_argc, s_argv);
        }
    }
    InstallBitmapTextRenderer();
}

namespace {

// While the application starts: what to say when no display opens, Qt's messages held until
// it is known whether one did.
struct StartState {
    bool starting = false;
    std::string noDisplay;
    int exitCode = 1;
    QtMessageHandler previous = nullptr;
    std::vector<std::pair<QtMsgType, QString>> held;
};
StartState g_start;

void StartMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (g_start.starting && type == QtFatalMsg) {
        // Qt found no platform to open windows on: it would abort next.
        std::fputs(g_start.noDisplay.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(g_start.exitCode);
    }
    if (g_start.starting) {
        g_start.held.emplace_back(type, message);
        return;
    }
    if (g_start.previous) g_start.previous(type, context, message);
}

}  // namespace

void StartWindowApplication(int argc, char** argv, const std::string& noDisplay, int exitCode) {
    g_start.noDisplay = noDisplay;
    g_start.exitCode = exitCode;
    g_start.starting = true;
    g_start.previous = qInstallMessageHandler(StartMessageHandler);
    EnsureApplication(argc, argv);
    g_start.starting = false;
    const QMessageLogContext context;
    for (const auto& [type, message] : g_start.held)
        StartMessageHandler(type, context, message);
    g_start.held.clear();
}

bool InstallJapaneseQtTranslations(const std::string& folder) {
    EnsureApplication();
    const QString from = folder.empty()
                             ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                             : QString::fromUtf8(folder.data(), static_cast<qsizetype>(folder.size()));
    bool any = false;
    for (const char* name : {"qtbase_ja", "qt_ja"}) {
        auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
        if (!translator->load(QString::fromLatin1(name), from)) continue;
        QCoreApplication::installTranslator(translator.release());
        any = true;
        break;  // qt_ja names qtbase_ja; one is enough
    }
    return any;
}

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_BTNFACE: return RGB(212, 208, 200);
        case COLOR_3DLIGHT: return RGB(212, 208, 200);
        case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
        case COLOR_BTNSHADOW: return RGB(128, 128, 128);
        case COLOR_3DDKSHADOW: return RGB(64, 64, 64);
        case COLOR_WINDOW: return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
        case COLOR_BTNTEXT: return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT: return RGB(10, 36, 106);
        case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
        case COLOR_GRAYTEXT: return RGB(128, 128, 128);
        default: return RGB(212, 208, 200);
    }
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            if (g_screenSize) return index == SM_CXSCREEN ? g_screenSize->cx : g_screenSize->cy;
            QScreen* screen = QCoreApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
            QRect g = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
            return index == SM_CXSCREEN ? g.width() : g.height();
        }
        case SM_CXVSCROLL:
        case SM_CYHSCROLL: return 16;
        default: return 0;
    }
}

Rect MoveOntoScreen(Rect r) {
    const Rect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const int x = std::max(screen.left, std::min(r.left, screen.right - r.Width()));
    const int y = std::max(screen.top, std::min(r.top, screen.bottom - r.Height()));
    r.OffsetRect(x - r.left, y - r.top);
    return r;
}

void SetMainWindow(Wnd* wnd) {
    g_mainWindow = wnd;
}

Wnd* GetMainWindow() {
    return IsLiveWnd(g_mainWindow) ? g_mainWindow : nullptr;
}

void Profile::SetRegistryKey(std::string_view company, std::string_view application) {
    ProfileState& p = Prof();
    p.company = std::string(company);
    p.application = std::string(application);
    p.settings.reset();
}

void Profile::UseFile(std::string_view path) {
    ProfileState& p = Prof();
    p.file = std::string(path);
    p.settings.reset();
}

int Profile::GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) {
    QVariant v = Prof().Get().value(Key(section, entry));
    bool ok = false;
    int n = v.toInt(&ok);
    return v.isValid() && ok ? n : defaultValue;
}

bool Profile::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    Prof().Get().setValue(Key(section, entry), value);
    return Prof().Get().status() == QSettings::NoError;
}

std::string Profile::GetProfileString(std::string_view section, std::string_view entry,
                                      std::string_view defaultValue) {
    QVariant v = Prof().Get().value(Key(section, entry));
    if (!v.isValid()) return std::string(defaultValue);
    return v.toString().toStdString();
}

bool Profile::WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) {
    Prof().Get().setValue(Key(section, entry),
                          QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    return Prof().Get().status() == QSettings::NoError;
}

void Profile::Flush() {
    Prof().Get().sync();
}

bool SetClipboardText(std::string_view utf8) {
    if (!g_clipboardAvailable) return false;
    EnsureApplication();
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return false;
    cb->clear();
    cb->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return true;
}

std::optional<std::string> GetClipboardText() {
    if (!g_clipboardAvailable) return std::nullopt;
    EnsureApplication();
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return std::nullopt;
    const QMimeData* data = cb->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    return data->text().toStdString();
}

void SetCursor(Wnd* over, Cursor cursor) {
    if (!over || !over->GetWidget()) return;
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (cursor) {
        case Cursor::Arrow: shape = Qt::ArrowCursor; break;
        case Cursor::Wait: shape = Qt::WaitCursor; break;
        case Cursor::SizeNWSE: shape = Qt::SizeFDiagCursor; break;
        case Cursor::SizeNESW: shape = Qt::SizeBDiagCursor; break;
        case Cursor::SizeWE: shape = Qt::SizeHorCursor; break;
        case Cursor::SizeNS: shape = Qt::SizeVerCursor; break;
        case Cursor::SizeAll: shape = Qt::SizeAllCursor; break;
        case Cursor::IBeam: shape = Qt::IBeamCursor; break;
        case Cursor::Hand: shape = Qt::PointingHandCursor; break;
    }
    over->GetWidget()->setCursor(shape);
}

WaitCursor::WaitCursor() {
    if (QCoreApplication::instance()) QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    if (QCoreApplication::instance()) QApplication::restoreOverrideCursor();
}

std::string FileDialogFilters(std::string_view filter) {
    QStringList parts =
        QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        const QString& given = parts[i + 1];
        QString patterns = given;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // A label that already ends in its patterns names them once.
        QString label = parts[i].trimmed();
        for (const QString& named : {given, patterns}) {
            const QString tail = QLatin1Char('(') + named + QLatin1Char(')');
            if (label.endsWith(tail)) {
                label.chop(tail.size());
                label = label.trimmed();
                break;
            }
        }
        out << label + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;")).toStdString();
}

std::optional<std::string> GetOpenFileName(Wnd* owner, std::string_view title, std::string_view filter,
                                           std::string_view initialFolder, std::string_view defaultExt) {
    return FileDialog(false, owner, title, filter, initialFolder, defaultExt);
}

std::optional<std::string> GetSaveFileName(Wnd* owner, std::string_view title, std::string_view filter,
                                           std::string_view initialFolder, std::string_view defaultExt) {
    return FileDialog(true, owner, title, filter, initialFolder, defaultExt);
}

void Sleep(int milliseconds) {
    if (milliseconds <= 0 || !QCoreApplication::instance()) return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

Point GetCursorPos() {
    const QPoint p = QCursor::pos();
    return Point(p.x(), p.y());
}

void SetCursorPos(Point screen) {
    QCursor::setPos(screen.x, screen.y);
}

}  // namespace rymd::ui
