#pragma once

// Runs a suite's cases side by side in processes of their own when the suite is started without
// arguments, as ctest starts it. The window and port suites spend their time waiting for polls, dwells
// and deadlines rather than computing, so their cases need not wait for each other. Each process has a
// home of its own, so no case sees the settings another one left. Any argument (a function, -o, ...),
// or BB_CASE_PROCESS=1, which the cases' processes get, runs the suite in this process as QTest does.
namespace CaseProcesses {

enum class Split {
    Functions, // a case per test function, its rows in turn: for a costly initTestCase()
    Rows, // a case per row of each table
};

// Lists the cases of the test class `suite` with -datatags and deals them in turn to at most `processes`
// processes, each running its share in order; then prints each process's output and returns the number
// of processes that failed. A process costs a start of the program: suites of many short cases share
// a few. `suiteMain` runs the suite in this process.
int main(
    int argc, char *argv[], const char *suite, int (*suiteMain)(int, char **), Split split, int processes);

} // namespace CaseProcesses

// In place of QTEST_MAIN and QTEST_GUILESS_MAIN: the suite's own main, as they write it, runs each process
// (no suite has an initMain() or looks for test data beside its source, so the guiless one leaves both out).
#define BB_CASE_PROCESSES_MAIN(TestObject, split, processes)                                                 \
    static int bbSuiteMain(int argc, char *argv[])                                                           \
    {                                                                                                        \
        QTEST_MAIN_IMPL(TestObject);                                                                         \
    }                                                                                                        \
    BB_CASE_PROCESSES_DISPATCH(TestObject, split, processes)

#define BB_CASE_PROCESSES_GUILESS_MAIN(TestObject, split, processes)                                         \
    static int bbSuiteMain(int argc, char *argv[])                                                           \
    {                                                                                                        \
        QCoreApplication app(argc, argv);                                                                    \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject tc;                                                                                       \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }                                                                                                        \
    BB_CASE_PROCESSES_DISPATCH(TestObject, split, processes)

#define BB_CASE_PROCESSES_DISPATCH(TestObject, split, processes)                                             \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        return CaseProcesses::main(                                                                          \
            argc, argv, #TestObject, bbSuiteMain, CaseProcesses::Split::split, processes);                   \
    }
