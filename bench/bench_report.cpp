// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reads the JSON that keepsake_bench and editor_bench write (--benchmark_out) and prints the
// one table of bench/run.sh: operation, N, time, floor, ratio, target and whether it is met.
//
//   bench_report <keepsake_bench.json> <editor_bench.json>
//
// A benchmark that ran several times counts with its median. Exit status 0 whatever the
// results; 2 when a file cannot be read.
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

// One benchmark's result: its time in seconds and its counters, or why it has none.
struct Result {
    std::optional<double> seconds;
    QMap<QString, double> counters;
    QString error;
};

double unitSeconds(const QString& unit) {
    if (unit == QLatin1String("ns"))
        return 1e-9;
    if (unit == QLatin1String("us"))
        return 1e-6;
    if (unit == QLatin1String("ms"))
        return 1e-3;
    return 1.0;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

const QStringList kFields = {
    QStringLiteral("name"),          QStringLiteral("run_name"),
    QStringLiteral("run_type"),      QStringLiteral("aggregate_name"),
    QStringLiteral("real_time"),     QStringLiteral("cpu_time"),
    QStringLiteral("time_unit"),     QStringLiteral("iterations"),
    QStringLiteral("family_index"),  QStringLiteral("per_family_instance_index"),
    QStringLiteral("repetitions"),   QStringLiteral("repetition_index"),
    QStringLiteral("threads"),       QStringLiteral("error_occurred"),
    QStringLiteral("error_message"), QStringLiteral("bytes_per_second"),
    QStringLiteral("aggregate_unit")};

class Results {
public:
    bool load(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
        for (const QJsonValue v : doc.object().value(QStringLiteral("benchmarks")).toArray()) {
            m_entries.append(v.toObject());
        }
        return true;
    }

    // The result of the benchmark named "BM_Name/arg" (whatever suffixes follow).
    Result get(const QString& name) const {
        Result r;
        QList<double> times;
        QMap<QString, QList<double>> counters;
        std::optional<double> medianTime;
        QMap<QString, double> medianCounters;
        for (const QJsonObject& e : m_entries) {
            const QString runName = e.value(QStringLiteral("run_name")).toString();
            if (runName != name && !runName.startsWith(name + u'/'))
                continue;
            if (e.value(QStringLiteral("error_occurred")).toBool()) {
                r.error = e.value(QStringLiteral("error_message")).toString();
                continue;
            }
            const double scale = unitSeconds(e.value(QStringLiteral("time_unit")).toString());
            const double t = e.value(QStringLiteral("real_time")).toDouble() * scale;
            const bool aggregate =
                e.value(QStringLiteral("run_type")).toString() == QLatin1String("aggregate");
            if (aggregate &&
                e.value(QStringLiteral("aggregate_name")).toString() != QLatin1String("median")) {
                continue;
            }
            QMap<QString, double> own;
            for (auto it = e.begin(); it != e.end(); ++it) {
                if (!kFields.contains(it.key()) && it.value().isDouble()) {
                    own.insert(it.key(), it.value().toDouble());
                }
            }
            if (aggregate) {
                medianTime = t;
                medianCounters = own;
            } else {
                times.append(t);
                for (auto it = own.begin(); it != own.end(); ++it)
                    counters[it.key()].append(*it);
            }
        }
        if (medianTime) {
            r.seconds = medianTime;
            r.counters = medianCounters;
        } else if (!times.isEmpty()) {
            r.seconds = median(times);
            for (auto it = counters.begin(); it != counters.end(); ++it) {
                r.counters.insert(it.key(), median(*it));
            }
        }
        if (r.seconds)
            r.error.clear();
        return r;
    }

private:
    QList<QJsonObject> m_entries;
};

QString formatTime(double s) {
    if (s >= 1.0)
        return QString::number(s, 'f', 2) + QStringLiteral(" s");
    if (s >= 1e-3)
        return QString::number(s * 1e3, 'f', s >= 0.1 ? 0 : (s >= 0.01 ? 1 : 2)) +
               QStringLiteral(" ms");
    return QString::number(s * 1e6, 'f', s >= 1e-4 ? 0 : 1) + QStringLiteral(" µs");
}

QString formatMb(double kb) {
    return QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MiB");
}

QString formatRatio(double r) {
    return QString::number(r, 'f', r >= 100 ? 0 : (r >= 10 ? 1 : 2)) + u'x';
}

struct Row {
    QString operation;
    QString n;
    QString time;
    QString floor;
    QString ratio;
    QString target;
    QString met;
};

QString metText(bool met) {
    return met ? QStringLiteral("yes") : QStringLiteral("NO");
}

QString shortN(int n) {
    if (n >= 1000 && n % 1000 == 0)
        return QString::number(n / 1000) + u'k';
    return QString::number(n);
}

class Table {
public:
    explicit Table(const Results& results) : m_results(results) {}

    // An operation against its floor at one N; maxRatio <= 0 means no target.
    void versus(const QString& operation, int n, const QString& name, const QString& floorName,
                double maxRatio) {
        const Result r = m_results.get(name + u'/' + QString::number(n));
        Row row{operation,           shortN(n),           {},
                QStringLiteral("—"), QStringLiteral("—"), QStringLiteral("—"),
                QStringLiteral("—")};
        if (!r.seconds) {
            row.time = notRun(r);
            row.met = maxRatio > 0 ? QStringLiteral("not run") : QStringLiteral("—");
            m_rows.append(row);
            return;
        }
        row.time = formatTime(*r.seconds);
        if (!floorName.isEmpty()) {
            const Result f = m_results.get(floorName + u'/' + QString::number(n));
            if (f.seconds) {
                row.floor = formatTime(*f.seconds);
                const double ratio = *r.seconds / *f.seconds;
                row.ratio = formatRatio(ratio);
                if (maxRatio > 0) {
                    row.target =
                        QStringLiteral("≤ ") + formatRatio(maxRatio) + QStringLiteral(" floor");
                    row.met = metText(ratio <= maxRatio);
                }
            } else {
                row.floor = notRun(f);
            }
        }
        m_rows.append(row);
    }

    // How the time grows from n1 to n2; maxGrowth <= 0 means no target.
    void growth(const QString& operation, int n1, int n2, const QString& name, double maxGrowth,
                const QString& note = {}) {
        const Result a = m_results.get(name + u'/' + QString::number(n1));
        const Result b = m_results.get(name + u'/' + QString::number(n2));
        Row row{operation + QStringLiteral(", growth"),
                shortN(n1) + QStringLiteral("→") + shortN(n2),
                {},
                {},
                QStringLiteral("—"),
                note.isEmpty() ? QStringLiteral("—") : note,
                QStringLiteral("—")};
        row.time = b.seconds ? formatTime(*b.seconds) : notRun(b);
        row.floor = a.seconds ? formatTime(*a.seconds) : notRun(a);
        if (a.seconds && b.seconds) {
            const double g = *b.seconds / *a.seconds;
            row.ratio = formatRatio(g);
            if (maxGrowth > 0) {
                row.target = QStringLiteral("≤ ") + formatRatio(maxGrowth);
                row.met = metText(g <= maxGrowth);
            }
        } else if (maxGrowth > 0) {
            row.met = QStringLiteral("not run");
        }
        m_rows.append(row);
    }

    // A time against an absolute limit in seconds.
    void limit(const QString& operation, const QString& n, const QString& name, double maxSeconds) {
        const Result r = m_results.get(name);
        Row row{operation,
                n,
                {},
                QStringLiteral("—"),
                QStringLiteral("—"),
                QStringLiteral("< ") + formatTime(maxSeconds),
                QStringLiteral("not run")};
        if (r.seconds) {
            row.time = formatTime(*r.seconds);
            row.met = metText(*r.seconds < maxSeconds);
        } else {
            row.time = notRun(r);
        }
        m_rows.append(row);
    }

    void idle(const QString& name, double maxPercent) {
        const Result r = m_results.get(name);
        Row row{QStringLiteral("idle editor, 30 s, processor share"),
                QStringLiteral("200 windows"),
                {},
                QStringLiteral("—"),
                QStringLiteral("—"),
                QStringLiteral("< ") + QString::number(maxPercent) + QStringLiteral(" % of a core"),
                QStringLiteral("not run")};
        if (r.seconds && r.counters.contains(QStringLiteral("cpu_percent"))) {
            const double p = r.counters.value(QStringLiteral("cpu_percent"));
            row.time = QString::number(p, 'f', 2) + QStringLiteral(" %");
            row.met = metText(p >= 0 && p < maxPercent);
        } else {
            row.time = notRun(r);
        }
        m_rows.append(row);
    }

    void startUp(const QString& name, const QString& bareName, double maxRatio) {
        const Result r = m_results.get(name);
        const Result f = m_results.get(bareName);
        Row row{QStringLiteral("start-up to the shown window (vs bare window, 10k rows)"),
                QStringLiteral("10k"),
                r.seconds ? formatTime(*r.seconds) : notRun(r),
                f.seconds ? formatTime(*f.seconds) : notRun(f),
                QStringLiteral("—"),
                QStringLiteral("≤ ") + formatRatio(maxRatio) + QStringLiteral(" floor"),
                QStringLiteral("not run")};
        if (r.seconds && f.seconds) {
            const double ratio = *r.seconds / *f.seconds;
            row.ratio = formatRatio(ratio);
            row.met = metText(ratio <= maxRatio);
        }
        m_rows.append(row);
    }

    void memory(const QString& name, const QString& baseName, double fileFactor) {
        const Result r = m_results.get(name);
        const Result base = m_results.get(baseName);
        Row row{
            QStringLiteral("peak memory, VmHWM (vs editor with 0 entries)"),
            QStringLiteral("100k"),
            notRun(r),
            notRun(base),
            QStringLiteral("—"),
            QStringLiteral("≤ floor + ") + QString::number(fileFactor) + QStringLiteral("x file"),
            QStringLiteral("not run")};
        const double peak = r.counters.value(QStringLiteral("peak_kb"), -1);
        const double basePeak = base.counters.value(QStringLiteral("peak_kb"), -1);
        const double fileKb = r.counters.value(QStringLiteral("file_bytes"), -1) / 1024.0;
        if (peak > 0)
            row.time = formatMb(peak);
        if (basePeak > 0)
            row.floor = formatMb(basePeak);
        if (peak > 0 && basePeak > 0 && fileKb > 0) {
            row.ratio =
                QString::number((peak - basePeak) / fileKb, 'f', 1) + QStringLiteral("x file");
            row.target += QStringLiteral(" (") + formatMb(basePeak + fileFactor * fileKb) +
                          QStringLiteral(", file ") + formatMb(fileKb) + u')';
            row.met = metText(peak <= basePeak + fileFactor * fileKb);
        }
        m_rows.append(row);
    }

    void print() const {
        const Row header{QStringLiteral("operation"), QStringLiteral("N"),
                         QStringLiteral("time"),      QStringLiteral("floor"),
                         QStringLiteral("ratio"),     QStringLiteral("target"),
                         QStringLiteral("met?")};
        QList<Row> all{header};
        all += m_rows;
        int widths[7] = {};
        for (const Row& row : all) {
            const QString cells[7] = {row.operation, row.n,      row.time, row.floor,
                                      row.ratio,     row.target, row.met};
            for (int c = 0; c < 7; ++c)
                widths[c] = std::max(widths[c], int(cells[c].size()));
        }
        auto line = [&](const Row& row) {
            const QString cells[7] = {row.operation, row.n,      row.time, row.floor,
                                      row.ratio,     row.target, row.met};
            QString text = QStringLiteral("|");
            for (int c = 0; c < 7; ++c) {
                text += u' ' +
                        (c >= 2 && c <= 4 ? cells[c].rightJustified(widths[c])
                                          : cells[c].leftJustified(widths[c])) +
                        QStringLiteral(" |");
            }
            std::printf("%s\n", text.toUtf8().constData());
        };
        line(header);
        QString rule = QStringLiteral("|");
        for (int c = 0; c < 7; ++c) {
            rule += (c >= 2 && c <= 4 ? QString(widths[c] + 1, u'-') + u':'
                                      : QString(widths[c] + 2, u'-')) +
                    u'|';
        }
        std::printf("%s\n", rule.toUtf8().constData());
        for (const Row& row : m_rows)
            line(row);
    }

private:
    static QString notRun(const Result& r) {
        return r.error.isEmpty() ? QStringLiteral("not run") : QStringLiteral("skipped");
    }

    const Results& m_results;
    QList<Row> m_rows;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList files = QCoreApplication::arguments().mid(1);
    Results results;
    for (const QString& file : files) {
        if (!results.load(file)) {
            std::fprintf(stderr, "bench_report: cannot read %s\n", qPrintable(file));
            return 2;
        }
    }

    const QList<int> sizes{1000, 10000, 100000};
    Table t(results);
    // Reading the keepsake file.
    for (int n : sizes) {
        t.versus(QStringLiteral("parse keepsake file, no lists (vs CP932 decode)"), n,
                 QStringLiteral("BM_ParseKeepsake"), QStringLiteral("BM_DecodeCp932"), 2.0);
    }
    for (int n : sizes) {
        t.versus(QStringLiteral("ReadKeepsake into 3 lists (vs decode + 3 plain views)"), n,
                 QStringLiteral("BM_ReadKeepsake"), QStringLiteral("BM_DecodeAndFillViews"),
                 n == 100000 ? 2.0 : 0);
    }
    // The same file read after it grew by 100 entries, and read first (every list sorted,
    // the working copy written).
    t.versus(QStringLiteral("ReadKeepsake, the file grown by 100 entries"), 100000,
             QStringLiteral("BM_ReadKeepsakeGrown"), QStringLiteral("BM_DecodeAndFillViews"), 2.0);
    t.versus(QStringLiteral("ReadKeepsake, the first read"), 100000,
             QStringLiteral("BM_ReadKeepsakeFirst"), QStringLiteral("BM_DecodeAndFillViews"), 2.0);
    // Category pages.
    for (int n : sizes) {
        t.versus(QStringLiteral("select a category, lstKinds_Click (vs read + decode page)"), n,
                 QStringLiteral("BM_SelectCategory"), QStringLiteral("BM_ReadAndDecodePage"), 2.0);
    }
    for (int n : sizes) {
        t.versus(QStringLiteral("WriteKindPage (vs encode + replace)"), n,
                 QStringLiteral("BM_WriteKindPage"), QStringLiteral("BM_EncodeAndReplace"), 2.0);
    }
    // The collection's index: 1,000 pages of 100 entries, on its worker thread.
    t.versus(QStringLiteral("build the index (vs read + decode every page)"), 1000,
             QStringLiteral("BM_BuildIndex"), QStringLiteral("BM_ReadAndDecodeAllPages"), 2.0);
    t.growth(QStringLiteral("parse keepsake file"), 10000, 100000,
             QStringLiteral("BM_ParseKeepsake"), 12);
    t.growth(QStringLiteral("ReadKeepsake"), 10000, 100000, QStringLiteral("BM_ReadKeepsake"), 12);
    t.growth(QStringLiteral("select a category"), 10000, 100000,
             QStringLiteral("BM_SelectCategory"), 12);
    t.growth(QStringLiteral("WriteKindPage"), 10000, 100000, QStringLiteral("BM_WriteKindPage"),
             12);
    // Operations on categories, with the pages named in the editor's case and in another.
    const struct {
        QString operation;
        QString name;
    } kinds[] = {
        {QStringLiteral("LoadKinds"), QStringLiteral("BM_LoadKinds")},
        {QStringLiteral("WriteIndexPages"), QStringLiteral("BM_WriteIndexPages")},
        {QStringLiteral("close the window (Unload)"), QStringLiteral("BM_CloseEditor")},
    };
    for (const auto& k : kinds) {
        for (const QString& variant : {QStringLiteral("exact"), QStringLiteral("othercase")}) {
            const QString name = k.name + u'/' + variant;
            const QString operation = k.operation + (variant == QLatin1String("exact")
                                                         ? QStringLiteral(", pages URL_nnnn.html")
                                                         : QStringLiteral(", pages url_nnnn.html"));
            for (int m : {1000, 10000})
                t.versus(operation, m, name, {}, 0);
            t.growth(operation, 1000, 10000, name, 12);
        }
    }
    // The browser timer and an idle editor.
    t.limit(QStringLiteral("Timer1_Timer, one tick"), QStringLiteral("200 windows"),
            QStringLiteral("BM_TimerTick/200"), 2e-3);
    t.limit(QStringLiteral("BrowserRunning"), QStringLiteral("200 windows"),
            QStringLiteral("BM_BrowserRunning/200"), 2e-3);
    t.idle(QStringLiteral("BM_IdleEditor/200"), 0.5);
    // Start-up and memory.
    t.startUp(QStringLiteral("BM_StartEditor/10000"), QStringLiteral("BM_StartBareWindow"), 1.5);
    t.versus(QStringLiteral("  start-up of an editor with no entries"), 0,
             QStringLiteral("BM_StartEditor"), {}, 0);
    for (int n : {0, 10000}) {
        t.versus(QStringLiteral("  of which: window + Load in-process, offscreen"), n,
                 QStringLiteral("BM_ConstructAndLoad"), {}, 0);
    }
    t.memory(QStringLiteral("BM_PeakMemory/100000"), QStringLiteral("BM_PeakMemory/0"), 3);
    t.print();
    return 0;
}
