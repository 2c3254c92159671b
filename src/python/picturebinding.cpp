#include "python/picturebinding.h"

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/picture.h"
#include "engine/rendercontext.h"
#include "files/atomicfile.h"
#include "files/paramfiles.h"
#include "files/picturetext.h"
#include "files/saveerrors.h"
#include "python/errors.h"

namespace py = pybind11;

namespace kt {

namespace {

// One attribute: how Python reads it and how a value of Python's is taken
// into a picture. Taking only converts; the picture's own rules judge it.
struct Field {
    const char* name;
    std::function<py::object(const Picture&)> get;
    std::function<void(Picture&, py::handle)> set;
};

[[noreturn]] void wrongtype(const char* name, const char* what)
{
    throw py::type_error(std::string(name) + " takes " + what);
}

// True and False are ints to Python, but no count or coefficient.
template <typename T>
T take(py::handle value, const char* name, const char* what)
{
    if (py::isinstance<py::bool_>(value) != std::is_same_v<T, bool>)
        wrongtype(name, what);
    if constexpr (std::is_same_v<T, std::string>) {
        if (!py::isinstance<py::str>(value))
            wrongtype(name, what);
    }
    try {
        return value.cast<T>();
    } catch (const py::cast_error&) {
        wrongtype(name, what);
    }
}

template <typename T>
std::vector<T> takelist(py::handle value, std::size_t count, const char* name, const char* what)
{
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::str>(value) || py::len(value) != count)
        wrongtype(name, what);
    std::vector<T> items;
    for (py::handle item : py::reinterpret_borrow<py::sequence>(value))
        items.push_back(take<T>(item, name, what));
    return items;
}

// The index of `word` among `names`, or -1, which the picture's rules refuse
// with their own message.
template <std::size_t N>
int wordindex(py::handle value, const char* name, const char* const (&names)[N])
{
    const std::string word = take<std::string>(value, name, "a word");
    for (std::size_t k = 0; k < N; ++k)
        if (word == names[k])
            return static_cast<int>(k);
    return -1;
}

constexpr const char* tonenames[] = {"hit", "density", "depth"};

constexpr double minspp = 0.001, maxspp = 100000;

void setbackground(Picture& p, py::handle value)
{
    constexpr const char* what = "R,G,B, each 0 to 255, or black, white or none";
    if (py::isinstance<py::str>(value)) {
        const std::string word = value.cast<std::string>();
        if (word == "none")
            p.transparent = true;
        else if (word == "black" || word == "white")
            p.background = word == "black" ? RGB(0, 0, 0) : RGB(255, 255, 255);
        else
            raisevalue(std::string("background takes ") + what);
        return;
    }
    const std::vector<int> rgb = takelist<int>(value, 3, "background", what);
    for (int c : rgb)
        if (c < 0 || c > 255)
            raisevalue(std::string("background takes ") + what);
    p.background = RGB(rgb[0], rgb[1], rgb[2]);
}

void setsize(Picture& p, py::handle value)
{
    constexpr const char* what = "a side or (width, height), whole numbers";
    if (py::isinstance<py::int_>(value)) {
        p.width = p.height = take<int>(value, "size", what);
        return;
    }
    const std::vector<int> sides = takelist<int>(value, 2, "size", what);
    p.width = sides[0];
    p.height = sides[1];
}

void setspp(Picture& p, py::handle value)
{
    const double spp = take<double>(value, "spp", "a number of steps per pixel");
    if (!(spp >= minspp && spp <= maxspp))
        raisevalue("spp takes a number from 0.001 to 100000");
    const double side = std::max(p.width, p.height);
    p.steps = static_cast<std::uint64_t>(std::ceil(spp * side * side));
}

py::object triple(double x, double y, double z)
{
    return py::make_tuple(x, y, z);
}

template <typename T, typename Member>
Field memberfield(const char* name, Member member, const char* what)
{
    return {name, [member](const Picture& p) { return py::cast(std::invoke(member, p)); },
            [member, name, what](Picture& p, py::handle v) { std::invoke(member, p) = take<T>(v, name, what); }};
}

template <typename Member>
Field coefficient(const char* name, Member member)
{
    return {name, [member](const Picture& p) { return py::cast(p.set.*member); },
            [member, name](Picture& p, py::handle v) { p.set.*member = take<double>(v, name, "a number"); }};
}

const std::vector<Field>& fields()
{
    static const std::vector<Field> table = {
        memberfield<int>("formula", &Picture::formula, "1 or 2"),
        coefficient("alpha", &ICON::a),
        coefficient("beta", &ICON::b),
        coefficient("gamma", &ICON::c),
        // lambda is a word of Python's own.
        coefficient("lambda_", &ICON::d),
        coefficient("omega", &ICON::e),
        {"n", [](const Picture& p) { return py::cast(p.set.n); },
         [](Picture& p, py::handle v) { p.set.n = take<std::int32_t>(v, "n", "a whole number"); }},
        {"p", [](const Picture& p) { return py::cast(p.set.p); },
         [](Picture& p, py::handle v) { p.set.p = take<std::int32_t>(v, "p", "a whole number"); }},
        coefficient("scale", &ICON::scale),
        {"start", [](const Picture& p) { return triple(p.set.xstart, p.set.ystart, p.set.zstart); },
         [](Picture& p, py::handle v) {
             const auto xyz = takelist<double>(v, 3, "start", "a list of three numbers");
             p.set.xstart = xyz[0];
             p.set.ystart = xyz[1];
             p.set.zstart = xyz[2];
         }},
        {"rotation",
         [](const Picture& p) {
             return triple(static_cast<double>(p.rotation.x), static_cast<double>(p.rotation.y),
                           static_cast<double>(p.rotation.z));
         },
         [](Picture& p, py::handle v) {
             const auto xyz = takelist<double>(v, 3, "rotation", "a list of three angles in degrees");
             p.rotation = VOXEL{xyz[0], xyz[1], xyz[2]};
         }},
        {"order", [](const Picture& p) { return py::cast(ordername(p.order)); },
         [](Picture& p, py::handle v) { p.order = wordindex(v, "order", ordernames); }},
        {"coloring", [](const Picture& p) { return py::cast(coloringnames[p.coloring & 1]); },
         [](Picture& p, py::handle v) { p.coloring = wordindex(v, "coloring", coloringnames); }},
        memberfield<std::string>("palette", &Picture::palette, "a built-in palette's name or a .map file"),
        {"background",
         [](const Picture& p) {
             return py::object(py::make_tuple(GetRValue(p.background), GetGValue(p.background),
                                              GetBValue(p.background)));
         },
         setbackground},
        memberfield<bool>("transparent", &Picture::transparent, "True or False"),
        memberfield<int>("width", &Picture::width, "a whole number"),
        memberfield<int>("height", &Picture::height, "a whole number"),
        {"size", [](const Picture& p) { return py::object(py::make_tuple(p.width, p.height)); }, setsize},
        memberfield<int>("supersample", &Picture::supersample, "a whole number"),
        {"steps", [](const Picture& p) { return py::cast(p.steps); },
         [](Picture& p, py::handle v) {
             // A count below one is the picture's to refuse, with its message.
             const long long steps = take<long long>(v, "steps", "a whole number");
             p.steps = steps < 1 ? 0 : static_cast<std::uint64_t>(steps);
         }},
        {"spp",
         [](const Picture& p) {
             const double side = std::max(p.width, p.height);
             return py::cast(static_cast<double>(p.steps) / (side * side));
         },
         setspp},
        memberfield<int>("orbits", &Picture::orbits, "a whole number"),
        memberfield<bool>("fit", &Picture::fit, "True or False"),
        memberfield<double>("margin", &Picture::margin, "a number"),
        {"tone", [](const Picture& p) { return py::cast(tonename(p.tone)); },
         [](Picture& p, py::handle v) {
             const int tone = wordindex(v, "tone", tonenames);
             if (tone < 0)
                 raisevalue("tone takes hit, density or depth");
             p.tone = static_cast<Tone>(tone);
         }},
        memberfield<double>("tone_brightness", &Picture::brightness, "a number"),
        memberfield<double>("tone_gamma", &Picture::gamma, "a number"),
        memberfield<int>("depth", &Picture::depth, "8 or 16"),
        memberfield<std::string>("filter", &Picture::filter, "a filter's name"),
        memberfield<int>("nadjust", &Picture::nadjust, "a whole number"),
    };
    return table;
}

const Field* field(const std::string& name)
{
    for (const Field& f : fields())
        if (name == f.name || (name == "lambda" && std::string(f.name) == "lambda_"))
            return &f;
    return nullptr;
}

void checkpicture(const Picture& p)
{
    if (const std::string problem = pictureproblem(p); !problem.empty())
        raisevalue(problem);
}

// The steps per pixel follow from the size, whichever keyword came first.
Picture makepicture(const py::kwargs& settings)
{
    int formula = 1;
    if (settings.contains("formula"))
        formula = take<int>(settings["formula"], "formula", "1 or 2");
    if (formula != 1 && formula != 2)
        raisevalue("formula takes 1 or 2");
    Picture p = builtinpicture(formula);
    for (const bool last : {false, true})
        for (auto [key, value] : settings) {
            const std::string name = key.cast<std::string>();
            if ((name == "spp") != last || name == "formula")
                continue;
            const Field* f = field(name);
            if (!f)
                throw py::type_error("Picture() got an unexpected keyword argument '" + name + "'");
            f->set(p, value);
        }
    checkpicture(p);
    return p;
}

// Only what differs from the built-in picture of its formula, in the order
// of the picture's text.
std::string picturerepr(const Picture& p)
{
    const Picture plain = builtinpicture(p.formula);
    std::string text = "Picture(formula=" + std::to_string(p.formula);
    for (const Field& f : fields()) {
        const std::string name = f.name;
        if (name == "formula" || name == "size" || name == "spp")
            continue;
        py::object value = f.get(p);
        if (!value.equal(f.get(plain)))
            text += ", " + name + "=" + py::repr(value).cast<std::string>();
    }
    return text + ")";
}

bool endswith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

Picture loadpicture(const std::string& path)
{
    Picture p = builtinpicture(1);
    errno = 0;
    if (const int code = loaddv3(p, path); code != loaddone)
        raiseoserror(code == loadopenfailed ? errno : 0, flattened(loaderror(code, path).text), path);
    return p;
}

void savepicture(const Picture& p, const std::string& path)
{
    // A parameter file is read by its name's last character.
    if (!endswith(path, ".dv3"))
        raisevalue("a parameter file's name must end in .dv3: " + path);
    RenderContext ctx(1);
    if (const int code = writedv3(ctx, path, dv3record(p)); code != savedone)
        raiseoserror(AtomicFile::lasterror(), saveerror[code - 1], path);
}

Picture picturefromtext(const std::string& text)
{
    const PictureRead read = readpicture(text);
    if (!read.picture)
        raisevalue(read.error);
    checkpicture(*read.picture);
    return *read.picture;
}

} // namespace

void bindpicture(py::module_& m)
{
    py::class_<Picture> picture(m, "Picture",
                                "Everything that decides one picture. Keywords name the fields of the picture's "
                                "text (lambda_ for lambda); size sets width and height, spp the steps per pixel.");
    picture.def(py::init(&makepicture))
        .def_static("builtin", &builtinpicture, py::arg("formula") = 1,
                    "The built-in set of formula 1 or 2 with every other setting as it starts.")
        .def_static("load", &loadpicture, py::arg("path"),
                    "A .dv3 (or .dv) file's set, formula, background and angles on the built-in picture.")
        .def("save", &savepicture, py::arg("path"), "Writes the set, background and angles as a .dv3 file.")
        .def("to_text", &picturetext, py::arg("oneline") = false, "The picture's JSON text.")
        .def_static("from_text", &picturefromtext, py::arg("text"), "The picture a JSON text describes.")
        .def(py::self == py::self)
        .def("__repr__", &picturerepr)
        .def("__copy__", [](const Picture& p) { return p; })
        .def("__deepcopy__", [](const Picture& p, py::dict) { return p; });
    for (const Field& f : fields()) {
        const std::string name = f.name;
        picture.def_property(
            f.name, [&f](const Picture& p) { return f.get(p); },
            [&f](Picture& p, py::handle value) {
                // Refused as a whole, so a picture is always one that can be drawn.
                Picture changed = p;
                f.set(changed, value);
                checkpicture(changed);
                p = changed;
            });
    }
}

} // namespace kt
