#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <gtest/gtest.h>

#include "WindowFixture.h"

namespace netsetup {
namespace {

// Width the control needs to show its text whole, in the window's logical pixels.
int neededWidth(QWidget* c) {
  const QFontMetrics fm(c->font());
  if (auto* g = qobject_cast<QGroupBox*>(c)) return fm.horizontalAdvance(g->title()) + 2 * fm.averageCharWidth();
  if (auto* r = qobject_cast<QRadioButton*>(c)) {
    return c->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, c) +
           c->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, c) + fm.horizontalAdvance(r->text());
  }
  if (auto* b = qobject_cast<QCheckBox*>(c)) {
    return c->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, c) +
           c->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, c) + fm.horizontalAdvance(b->text());
  }
  if (auto* b = qobject_cast<QPushButton*>(c)) {
    return fm.horizontalAdvance(b->text()) + 2 * c->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, c);
  }
  if (qobject_cast<QComboBox*>(c)) return c->sizeHint().width();
  if (auto* l = qobject_cast<QLabel*>(c)) return fm.horizontalAdvance(l->text());
  if (auto* e = qobject_cast<QLineEdit*>(c)) return fm.horizontalAdvance(e->text());
  return 0;
}

// Runs in a child process started by ScaleFactors, with QT_SCALE_FACTOR already in force.
TEST(WindowScale, EveryControlKeepsTheWindowFontAndFits) {
  const QByteArray factor = qgetenv("NETSETUP_SCALE_CHILD");
  if (factor.isEmpty()) GTEST_SKIP() << "runs only inside ScaleFactors";
  testing::WindowFixture f;
  TMainFrm& w = f.open("[#]\r\nUseIP=1\r\nSockIP=255.255.255.255\r\nSockPort=65535\r\n");
  w.show();
  EXPECT_DOUBLE_EQ(w.devicePixelRatioF(), factor.toDouble());
  EXPECT_EQ(w.size(), QSize(700, 502));
  // The embedded face is drawn whatever the machine has; with the system's fonts hidden it is
  // the only one there is.
  EXPECT_EQ(QFontInfo(w.font()).family(), "Liberation Sans");
  if (qEnvironmentVariableIsSet("NETSETUP_SCALE_NO_FONTS")) {
    EXPECT_FALSE(QFontDatabase::families().contains("DejaVu Sans"));
  }
  for (QWidget* c : w.findChildren<QWidget*>()) {
    if (c->objectName().isEmpty() || c->parentWidget() == nullptr) continue;
    if (c->parentWidget() != &w && c->parentWidget()->parentWidget() != &w) continue;  // inner parts
    SCOPED_TRACE(c->objectName().toStdString());
    EXPECT_EQ(c->font(), w.font());
    EXPECT_LE(neededWidth(c), c->width());
    EXPECT_LE(QFontMetrics(c->font()).height(), c->height());
  }
  const QString dir = qEnvironmentVariable("NETSETUP_ARTIFACTS", QDir::tempPath());
  QDir().mkpath(dir);
  const QImage shot = w.grab().toImage();
  EXPECT_EQ(shot.size(), QSize(700, 502) * factor.toDouble());
  const QString fonts = qEnvironmentVariableIsSet("NETSETUP_SCALE_NO_FONTS") ? "-no-system-fonts" : "";
  shot.save(dir + "/window-scale-" + QString::fromLatin1(factor) + fonts + ".png");
}

TEST(WindowScale, ScaleFactors) {
  if (!qgetenv("NETSETUP_SCALE_CHILD").isEmpty()) GTEST_SKIP();
  // A fontconfig that knows no font folder: the machine without Liberation (or any) fonts.
  testing::TempDir fonts;
  testing::writeFile(fonts.file("fonts.conf"), "<?xml version=\"1.0\"?><fontconfig><dir>" + fonts.file("none") +
                                                   "</dir><cachedir>" + fonts.file("cache") + "</cachedir></fontconfig>\n");
  for (const bool hidden : {false, true})
  for (const char* factor : {"1", "1.25", "2"}) {
    SCOPED_TRACE(std::string(factor) + (hidden ? ", system fonts hidden" : ""));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", factor);
    env.insert("NETSETUP_SCALE_CHILD", factor);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (hidden) {
      env.insert("FONTCONFIG_FILE", QString::fromStdString(fonts.file("fonts.conf")));
      env.insert("NETSETUP_SCALE_NO_FONTS", "1");
    }
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=WindowScale.EveryControlKeepsTheWindowFontAndFits"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString out = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
  }
}

}  // namespace
}  // namespace netsetup
