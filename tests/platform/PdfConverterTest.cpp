// PDF copies: one background process per run of documents, whatever their number; what is
// missing afterwards is said.
#include "platform/PdfConverter.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace velcaris;

namespace {

// A stand-in for soffice: logs each start and writes "<name>.pdf" into --outdir for each
// document, except those whose name contains "rotto".
QString fakeOffice(const test::TempDir& dir)
{
    const QString path = dir.file("fake-soffice");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n"
            "echo start >> \"$(dirname \"$0\")/starts.log\"\n"
            "out=''; while [ $# -gt 0 ]; do case \"$1\" in --outdir) out=\"$2\"; shift 2;; -*) shift;; pdf) shift;;\n"
            "*) b=$(basename \"$1\" .rtf); case \"$b\" in *rotto*) ;; *) echo pdf > \"$out/$b.pdf\";; esac; shift;; esac; done\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    return path;
}

} // namespace

TEST(PdfConverter, OneProcessPerRunInTheBackgroundAndMissingCopiesAreSaid)
{
    test::TempDir dir;
    platform::PdfConverter pdf;
    pdf.setProgram(fakeOffice(dir));
    QSignalSpy spy(&pdf, &platform::PdfConverter::finished);

    QStringList run;
    for (int i = 1; i <= 20; ++i)
        run << dir.file(QStringLiteral("Sollecito - Persona %1 - 15.06.2024.rtf").arg(i));
    ASSERT_TRUE(pdf.convert(run, dir.path()));
    EXPECT_TRUE(pdf.busy()); // the caller goes on while it converts
    ASSERT_TRUE(pdf.convert({dir.file("Avviso rotto.rtf")}, dir.path())); // queued behind the first
    ASSERT_TRUE(pdf.waitForIdle(30000));

    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy[0][0].toStringList().size(), 20);
    EXPECT_TRUE(spy[0][1].toString().isEmpty());
    EXPECT_TRUE(QFile::exists(dir.file("Sollecito - Persona 20 - 15.06.2024.pdf")));
    EXPECT_TRUE(spy[1][0].toStringList().isEmpty());
    EXPECT_TRUE(spy[1][1].toString().contains("Avviso rotto.rtf")) << spy[1][1].toString().toStdString();
    QFile log(dir.file("starts.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("start"), 2); // two runs, two processes

    EXPECT_FALSE(pdf.convert({}, dir.path()));
    pdf.setProgram(dir.file("non-esiste"));
    ASSERT_TRUE(pdf.convert(run, dir.path()));
    ASSERT_TRUE(pdf.waitForIdle(30000));
    ASSERT_EQ(spy.size(), 3);
    EXPECT_TRUE(spy[2][1].toString().contains("avvio non riuscito")) << spy[2][1].toString().toStdString();
}
