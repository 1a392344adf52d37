// The help and about screens: their pictures, the site link and the way back.
#include <QPixmap>

#include "FormTest.h"
#include "Site.h"

class HelpAboutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LoadWindowFonts(); }

    void screensAreEnteredAndLeft() {
        ShownForm f;
        f.click("HelpAction");
        QCOMPARE(f.visibleScreen(), U("HelpPanel"));
        QVERIFY(f.shown("HelpRus"));
        f.click("ForHelpClose");
        QCOMPARE(f.visibleScreen(), U("BattlePanel"));
        f.click("AboutAction");
        QCOMPARE(f.visibleScreen(), U("AboutPanel"));
        QVERIFY(f.shown("Lanternhall"));
        f.click("ForAboutClose");
        QCOMPARE(f.visibleScreen(), U("BattlePanel"));
        QVERIFY(f.dialogs.urls.empty());
    }

    void picturesAreLoadedAtTheirSizes_data() {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("opener");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("centred");
        QTest::newRow("help") << U("HelpRus") << U("HelpAction") << QSize(710, 615) << false;
        QTest::newRow("about") << U("AboutImg") << U("AboutAction") << QSize(880, 713) << true;
        for (int duellist = 1; duellist <= 2; ++duellist)
            for (int mark = 1; mark <= 5; ++mark) {
                const QString name = QStringLiteral("PicChM%1%2").arg(duellist).arg(mark);
                QTest::newRow(qPrintable(name)) << name << U("GoCalcOfBattleChars") << QSize(50, 50) << false;
            }
    }
    // Each picture is decoded when its screen is first opened, and not before:
    // the duel screen at start-up decodes none.
    void picturesAreLoadedAtTheirSizes() {
        QFETCH(QString, picture);
        QFETCH(QString, opener);
        QFETCH(QSize, size);
        QFETCH(bool, centred);
        ShownForm f;
        auto* box = f.control<QLabel>(qPrintable(picture));
        QVERIFY(box->pixmap().isNull());
        f.click(qPrintable(opener));
        QVERIFY(box->isVisible());
        const QPixmap pixmap = box->pixmap();
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), size);
        QVERIFY(!box->hasScaledContents());
        QCOMPARE(box->alignment(), centred ? Qt::Alignment(Qt::AlignCenter) : Qt::AlignLeft | Qt::AlignTop);
    }

    void blackMarksLieOnTheirPictures() {
        ShownForm f;
        for (int duellist = 1; duellist <= 2; ++duellist)
            for (int mark = 1; mark <= 5; ++mark) {
                auto* box = f.control<QWidget>(qPrintable(QStringLiteral("ChM%1%2").arg(duellist).arg(mark)));
                auto* picture =
                    f.control<QWidget>(qPrintable(QStringLiteral("PicChM%1%2").arg(duellist).arg(mark)));
                QCOMPARE(box->parentWidget(), picture->parentWidget());
                QVERIFY(picture->geometry().contains(box->geometry()));
                // Drawn over the picture.
                const QObjectList& siblings = box->parentWidget()->children();
                QVERIFY(siblings.indexOf(box) > siblings.indexOf(picture));
            }
    }

    void siteLinkLooksLikeALink() {
        ShownForm f;
        auto* link = f.control<QLabel>("Lanternhall");
        QCOMPARE(link->text(), U(saberline::kSiteHost));
        QCOMPARE(link->pos(), QPoint(136, 352));
        QCOMPARE(link->font().family(), U("Tahoma"));
        QCOMPARE(link->font().pixelSize(), 48);
        QVERIFY(link->font().bold());
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(link->toolTip().isEmpty());
        QVERIFY(!link->autoFillBackground());
        // Sized to its caption.
        QCOMPARE(link->size(), link->sizeHint());
    }

    void eachClickOnTheLinkOpensTheSite() {
        ShownForm f;
        f.click("AboutAction");
        f.click("Lanternhall");
        f.click("Lanternhall");
        QCOMPARE(f.dialogs.urls.size(), std::size_t{2});
        for (const QUrl& url : f.dialogs.urls) QCOMPARE(url, QUrl(QString::fromStdString(saberline::SiteAddress())));
        QCOMPARE(f.visibleScreen(), U("AboutPanel"));
        QVERIFY(f.dialogs.boxes.empty());
    }

    void clicksBesideTheLinkOpenNothing() {
        ShownForm f;
        f.click("AboutAction");
        auto* picture = f.control<QWidget>("AboutImg");
        auto* link = f.control<QWidget>("Lanternhall");
        for (const QPoint& at : {QPoint(20, 600), QPoint(360, 40), link->geometry().topLeft() - QPoint(5, 5)})
            QTest::mouseClick(picture, Qt::LeftButton, {}, at);
        // Pressed on the link but released beside it.
        QTest::mousePress(link, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-20, 10));
        QVERIFY(f.dialogs.urls.empty());
        QCOMPARE(f.visibleScreen(), U("AboutPanel"));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "HelpAboutTest.moc"
