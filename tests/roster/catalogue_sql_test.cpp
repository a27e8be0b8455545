#include "roster/DivisionStore.h"
#include "roster/GameStore.h"
#include "roster/GenreStore.h"
#include "roster/TitleStore.h"

#include <QtTest>

using namespace rm;

class CatalogueSqlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statementsAsTheStoreReceivesThem() {
        QCOMPARE(CatalogueDeleteSql(CatalogueKind::GameType, 7),
                 QStringLiteral("Delete From GameTypes  Where Type_ID = 7"));
        QCOMPARE(CatalogueKindOf(QStringLiteral("game type")), CatalogueKind::GameType);
        QCOMPARE(CatalogueKindOf(QStringLiteral("gEnRe")), CatalogueKind::Genre);
        QCOMPARE(CatalogueInsertSql(CatalogueKind::Genre, QStringLiteral(" Hack 'n' Slash ")),
                 QStringLiteral("Insert Into Genres (Genre_Name) VALUES('Hack ''n'' Slash')"));

        const GameEntry game{QStringLiteral(" Rook's Gambit "), 3, -2, QStringLiteral("  \t ")};
        QCOMPARE(GameUpdateSql(12, game),
                 QStringLiteral("Update Games Set Game_Name = 'Rook''s Gambit',Game_Type = 3, "
                                "Game_Genre = -2, Game_Notes = ' ' Where Game_ID = 12"));
        QCOMPARE(GameInsertSql(game),
                 QStringLiteral("Insert Into Games (Game_Name, Game_Type, Game_Genre, Game_Notes) "
                                "VALUES('Rook''s Gambit', 3, -2, ' ') "));

        const DivisionEntry division{QStringLiteral("Red"), 4, false, QStringLiteral(" it's \n")};
        const QDateTime at(QDate(2004, 3, 5), QTime(14, 7, 9));
        QCOMPARE(
            DivisionUpdateSql(9, division, at),
            QStringLiteral(
                "Update Divisions Set Division_Name = 'Red',Division_Game = 4, Division_Active = 0, "
                "Division_Notes = 'it''s', Division_Update = '2004-03-05 14:07:09' Where Division_ID = 9"));
        QCOMPARE(LastUpdatedNote(QStringLiteral("2004-03-05 00:07:09")),
                 QStringLiteral("Last updated on 03/05/04 12:07 AM"));
        QCOMPARE(LastUpdatedNote(QString()), QString());

        QCOMPARE(
            TitleUpdateSql(5, TitleEntry{QStringLiteral("Red"), 4, QStringLiteral("Captain")}),
            QStringLiteral(
                "Update Titles Set Title_Division = 4,Title_Description = 'Captain' Where Title_ID = 5"));
    }
};

QTEST_GUILESS_MAIN(CatalogueSqlTest)
#include "catalogue_sql_test.moc"
