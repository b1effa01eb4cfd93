#include "controls/xpbutton/xpbuttonpainter.h"

#include <QTest>

using namespace kivaro;

class TestXPButtonPainter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noPictureMeasuresZero();
};

void TestXPButtonPainter::noPictureMeasuresZero()
{
    QCOMPARE(MeasurePicture({}), QSize(0, 0));
}

QTEST_MAIN(TestXPButtonPainter)
#include "tst_xpbuttonpainter.moc"
