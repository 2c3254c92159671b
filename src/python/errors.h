#pragma once
// Python's exceptions for what the program itself would say: a ValueError
// for a value out of its range, an OSError for a file, each with the
// program's own message.
#include <pybind11/pybind11.h>

#include <string>

namespace kt {

[[noreturn]] inline void raisevalue(const std::string& message)
{
    throw pybind11::value_error(message);
}

// With the error number it gives a subclass such as FileNotFoundError, as
// Python's own file functions do.
[[noreturn]] inline void raiseoserror(int err, const std::string& message, const std::string& path)
{
    PyObject* error = err ? PyObject_CallFunction(PyExc_OSError, "iss", err, message.c_str(), path.c_str())
                          : PyObject_CallFunction(PyExc_OSError, "s", (path + ": " + message).c_str());
    if (error) {
        PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error)), error);
        Py_DECREF(error);
    }
    throw pybind11::error_already_set();
}

// A message box's text on one line.
inline std::string flattened(const std::string& text)
{
    std::string line;
    for (char c : text) {
        const bool space = c == '\n' || c == ' ';
        if (space && (line.empty() || line.back() == ' '))
            continue;
        line += space ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

} // namespace kt
