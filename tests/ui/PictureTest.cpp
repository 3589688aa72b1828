// Pictures of windows: any window written to a PNG offscreen, and once a real screenshot of an
// X server's screen, so that both ways keep working. The picture of the docs comes from here.

#include "common/UiDriver.h"
#include "ui/SampleExpression.h"
#include "ui/ExpressionHost.h"
#include "qzSystem/persist/CqzFileWriter.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <set>

namespace
{
// The flexible dialog hosting the editor of a three-event expression.
class ExpressionPicture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        search = SampleExpression();
        host = std::make_unique<ExpressionHost>(search.GetIfClause().GetEventList(), CqzID());
        ASSERT_TRUE(host->Create(testres::IDD_FILTERLIKE));
        QWidget* window = ui::WidgetOf(host.get());
        window->move(40, 40);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override
    {
        host.reset();
        ResetManagers();
    }
    static QString Folder(const char* variable)
    {
        const char* folder = std::getenv(variable);
        return folder != nullptr ? QString::fromLocal8Bit(folder) : QDir::tempPath();
    }

    CqzSearchModel search;
    std::unique_ptr<ExpressionHost> host;
};

bool WriteImage(CWnd* window, const QString& path)
{
    std::string png;
    if (!AfxGetWindowImage(window, png))
        return false;
    CqzFileWriter file(path.toStdString(), "picture");
    file.Stream() << png;
    file.Commit();
    return true;
}

int Colours(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}
} // namespace

TEST_F(ExpressionPicture, AnyWindowIsWrittenToAPng)
{
    const QString path = Folder("QZ_PICTURE_DIR") + "/search-expression-editor.png";
    ASSERT_TRUE(WriteImage(host.get(), path));
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    CRect client;
    host->GetClientRect(client);
    EXPECT_EQ(image.size(), QSize(client.Width(), client.Height()));
    EXPECT_GT(Colours(image), 8) << "the picture shows the controls, not an empty window";
    std::string png;
    EXPECT_FALSE(AfxGetWindowImage(nullptr, png));
}

// Runs under Xvfb with the X11 platform (see tests/ui/CMakeLists.txt); skipped offscreen.
TEST_F(ExpressionPicture, ScreenshotOfARealScreen)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server";
    const QString folder = Folder("QZ_SCREENSHOT_DIR");
    const QString grabbed = folder + "/grabbed.png";
    const QString screen = folder + "/screen.png";
    QTest::qWait(200);
    ASSERT_TRUE(WriteImage(host.get(), grabbed));
    const std::string command = "import -window root '" + screen.toStdString() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const QImage shot(screen);
    const QImage window(grabbed);
    ASSERT_FALSE(shot.isNull());
    ASSERT_FALSE(window.isNull());
    // The dialog's client area on the screen shows what the grab shows.
    const QWidget* widget = ui::WidgetOf(host.get());
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    int same = 0;
    int total = 0;
    for (int y = 0; y < window.height(); y += 3)
        for (int x = 0; x < window.width(); x += 3, ++total)
            same += shot.pixel(origin.x() + x, origin.y() + y) == window.pixel(x, y);
    EXPECT_GT(same, total * 95 / 100);
}
