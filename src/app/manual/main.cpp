// Turns the user guide, kept as Markdown, into the PDF the program's help
// opens: ktmanualpdf GUIDE.md OUTPUT.pdf. Runs at build time, so without a
// display (QT_QPA_PLATFORM=offscreen).
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ktmanualpdf GUIDE.md OUTPUT.pdf\n");
        return 1;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "ktmanualpdf: cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument guide;
    guide.setMarkdown(QString::fromUtf8(source.readAll()));
    guide.setDefaultStyleSheet(QStringLiteral("table { border-collapse: collapse; }"));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("KT Dravune 3D — User Guide"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    pdf.setResolution(300);
    guide.print(&pdf);
    // QPdfWriter reports no failure; a file that did not appear is one.
    if (!QFile::exists(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "ktmanualpdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
