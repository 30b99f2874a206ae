// The Windows build script's own logic: the deb-src entry it writes and how it knows one is there,
// the version that keys the cached Qt, the MinGW toolchain file, which must make Windows programs
// and find packages in CMAKE_PREFIX_PATH, as the project finds the cross-built Qt, and the DLLs a
// package gathers for its programs.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

// Runs a program; on failure, shows its output and says false.
bool succeeds(const QString &program, const QStringList &args, QString *out = nullptr)
{
    QProcess process;
    process.start(program, args);
    const bool ok = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
    const QString said = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    if (out)
        *out = said;
    else if (!ok)
        qWarning().noquote() << program << args.join(' ') << '\n' << said;
    return ok;
}

// Runs shell code with the build script's functions defined and ARGS as $1, $2...
bool withScript(const QString &code, const QStringList &args, QString *out)
{
    return succeeds("bash", QStringList{"-c", "source \"$0\"; " + code, WINDOWS_BUILD_SCRIPT} + args, out);
}

QString writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    return path;
}

bool haveMinGW()
{
    return !QStandardPaths::findExecutable("x86_64-w64-mingw32-g++-posix").isEmpty();
}

const char *const ThreadsSource = "#include <mutex>\n#include <thread>\nint main() { std::mutex m; std::thread t([&] { "
                                  "std::lock_guard<std::mutex> l(m); }); t.join(); }\n";

// Builds probe.exe from one source file with the toolchain file; returns its path, empty on failure.
QString buildProbe(const QTemporaryDir &dir, const QString &language, const QString &source)
{
    // A package that only the prefix given on the command line holds.
    QDir(dir.path()).mkpath("prefix/lib/cmake/Marker");
    writeFile(dir.filePath("prefix/lib/cmake/Marker/MarkerConfig.cmake"), "set(Marker_FOUND 1)\n");
    const QString file = language == "C" ? "main.c" : "main.cpp";
    writeFile(dir.filePath(file), source);
    writeFile(dir.filePath("CMakeLists.txt"), QString("cmake_minimum_required(VERSION 3.21)\nproject(probe LANGUAGES %1)\n"
                                                      "find_package(Marker REQUIRED)\nadd_executable(probe %2)\n")
                                                  .arg(language, file));
    const QString build = dir.filePath("build");
    if (!succeeds("cmake", {"-S", dir.path(), "-B", build, "-G", "Ninja", "-DCMAKE_TOOLCHAIN_FILE=" WINDOWS_TOOLCHAIN_FILE,
                            "-DCMAKE_PREFIX_PATH=" + dir.filePath("prefix")})
        || !succeeds("cmake", {"--build", build}))
        return {};
    return build + "/probe.exe";
}

} // namespace

class TestWindowsBuild : public QObject {
    Q_OBJECT

private slots:
    void debSrcEntries_data()
    {
        QTest::addColumn<QString>("sources");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comments left out, entries kept apart")
            << "Types: deb\n# http://old/archive\nURIs: http://a/debian\nSuites: bookworm bookworm-updates\n"
               "\nTypes: deb\nURIs: http://a/debian-security\nSigned-By: /usr/share/keyrings/k.gpg\n"
            << "Types: deb-src\nURIs: http://a/debian\nSuites: bookworm bookworm-updates\n"
               "\nTypes: deb-src\nURIs: http://a/debian-security\nSigned-By: /usr/share/keyrings/k.gpg\n";
        QTest::newRow("inline key and disabled entry kept")
            << "Types: deb\nEnabled: no\nSigned-By:\n -----BEGIN PGP PUBLIC KEY BLOCK-----\n .\n mQINBF\n"
            << "Types: deb-src\nEnabled: no\nSigned-By:\n -----BEGIN PGP PUBLIC KEY BLOCK-----\n .\n mQINBF\n";
    }
    void debSrcEntries()
    {
        QFETCH(QString, sources);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QString made, ignored;
        QVERIFY(withScript("deb_src_entries \"$1\"", {writeFile(dir.filePath("debian.sources"), sources)}, &made));
        QCOMPARE(made, expected);
        // The next run must find the entry it wrote, and add no other.
        QVERIFY(withScript("has_deb_src \"$1\"", {writeFile(dir.filePath("deb-src.sources"), made)}, &ignored));
    }

    void hasDebSrc_data()
    {
        QTest::addColumn<QString>("sources");
        QTest::addColumn<bool>("found");
        QTest::newRow("one-line deb-src") << "deb http://a/ bookworm main\ndeb-src http://a/ bookworm main\n" << true;
        QTest::newRow("deb822 both types") << "Types: deb deb-src\nURIs: http://a/\n" << true;
        QTest::newRow("one-line deb only") << "deb http://a/ bookworm main\n" << false;
        QTest::newRow("commented out") << "deb http://a/ bookworm main\n# deb-src http://a/ bookworm main\n" << false;
        QTest::newRow("deb-src in a URI") << "Types: deb\nURIs: http://a/deb-src/\n" << false;
    }
    void hasDebSrc()
    {
        QFETCH(QString, sources);
        QFETCH(bool, found);
        QTemporaryDir dir;
        QString ignored;
        QCOMPARE(withScript("has_deb_src \"$1\"", {writeFile(dir.filePath("x.sources"), sources)}, &ignored), found);
    }

    void upstreamVersion_data()
    {
        QTest::addColumn<QString>("debian");
        QTest::addColumn<QString>("upstream");
        QTest::newRow("repacked") << "6.4.2+dfsg-10" << "6.4.2";
        QTest::newRow("epoch") << "1:6.4.2-1" << "6.4.2";
        QTest::newRow("stable update") << "3.40.1-2+deb12u2" << "3.40.1";
        QTest::newRow("release candidate kept apart") << "6.5.0~rc1+dfsg-1" << "6.5.0~rc1";
    }
    void upstreamVersion()
    {
        QFETCH(QString, debian);
        QFETCH(QString, upstream);
        QString out;
        QVERIFY(withScript("upstream_version \"$1\"", {debian}, &out));
        QCOMPARE(out.trimmed(), upstream);
    }

    void toolchainMakesWindowsPrograms_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("source");
        QTest::newRow("C") << "C" << "#include <stdio.h>\nint main(void) { puts(\"ok\"); return 0; }\n";
        QTest::newRow("C++ with threads") << "CXX" << ThreadsSource;
    }
    void toolchainMakesWindowsPrograms()
    {
        QFETCH(QString, language);
        QFETCH(QString, source);
        if (!haveMinGW())
            QSKIP("MinGW-w64 is not installed; packaging/windows/build installs it");

        QTemporaryDir dir;
        const QString path = buildProbe(dir, language, source);
        QVERIFY(!path.isEmpty());

        // A PE file for x86-64 (machine 0x8664) in the console subsystem (3).
        QFile program(path);
        QVERIFY(program.open(QIODevice::ReadOnly));
        const QByteArray image = program.readAll();
        QVERIFY(image.startsWith("MZ") && image.size() > 0x40);
        const quint32 pe = qFromLittleEndian<quint32>(image.constData() + 0x3c);
        QVERIFY(quint64(pe) + 24 + 70 <= quint64(image.size()));
        QCOMPARE(image.mid(pe, 4), QByteArray("PE\0\0", 4));
        QCOMPARE(qFromLittleEndian<quint16>(image.constData() + pe + 4), quint16(0x8664));
        QCOMPARE(qFromLittleEndian<quint16>(image.constData() + pe + 24 + 68), quint16(3));
    }

    // The C++ runtime imports the threads library: the package must follow imports of imports, and
    // leave Windows's own DLLs to Windows.
    void packageCarriesEveryDllItImports()
    {
        if (!haveMinGW())
            QSKIP("MinGW-w64 is not installed; packaging/windows/build installs it");
        QTemporaryDir dir;
        const QString path = buildProbe(dir, "CXX", ThreadsSource);
        QVERIFY(!path.isEmpty());
        const QString package = dir.filePath("package");
        QVERIFY(QDir().mkpath(package));

        QString out;
        QVERIFY2(withScript("qt_prefix=/nonexistent; set_dll_search_path; copy_imported_dlls \"$1\" \"$2\"",
                            {package, path}, &out),
                 qPrintable(out));
        QStringList carried = QDir(package).entryList(QDir::Files);
        carried.sort();
        QCOMPARE(carried, (QStringList{"libgcc_s_seh-1.dll", "libstdc++-6.dll", "libwinpthread-1.dll"}));
    }
};

QTEST_GUILESS_MAIN(TestWindowsBuild)
#include "tst_windows_build.moc"
