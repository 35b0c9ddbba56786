#include "uutworker.h"

UutWorker::UutWorker() = default;

UutWorker::~UutWorker() = default;

void UutWorker::open(const UutDriver &, const QString &, int, int) { }

void UutWorker::close() { }

void UutWorker::ask(int, int, double) { }
