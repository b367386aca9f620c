#pragma once

#include "RuntimeError.h"

#include <QString>

#include <functional>
#include <new>
#include <type_traits>

// Text lookup by tag, injected by whoever opened the data file; until then a
// tag reads as "#tag#", the form of a missing text.
using TextLookup = std::function<QString(int tag)>;
void SetTextLookup(TextLookup lookup);
QString LookupText(int tag);

// The one error report: builds the fixed message for an error number raised in
// the procedure named by source ("Owner.Procedure" or "Owner.control_Event")
// and shows it through the UI seam. Error 8002 (invalid port) shows text 10101.
void ReportError(const QString& source, int number);

// The lines of the report for a source and number, CR LF separated (without
// the 8002 special case). Exposed so every shape of source can be checked.
QString ErrorReportText(const QString& source, int number);

// Runs body as a procedure of the console: a run-time error inside it is
// reported with the given source and the procedure's empty default is returned
// (0, empty text, false). One line per procedure:
//     return Trap("ConfigClass.Load", [&] { ...; return true; });
template <class F> auto Trap(const char* source, F&& body) -> std::invoke_result_t<F>
{
    using R = std::invoke_result_t<F>;
    int number = 0;
    try {
        return std::forward<F>(body)();
    } catch (const RuntimeError& e) {
        number = e.number();
    } catch (const std::bad_alloc&) {
        number = ErrNo::OutOfMemory;
    } catch (const std::exception&) {
        number = ErrNo::InvalidCall;
    }
    ReportError(QString::fromLatin1(source), number);
    if constexpr (!std::is_void_v<R>)
        return R{};
}
