#include "files/picturetext.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

namespace kt {

namespace {

// A value as the text held it, so that numbers are read in the width of the
// field they go to: a double read as a long double and rounded again could
// differ from the double that was written.
struct Value {
    enum Kind { number, text, boolean, null } kind;
    std::string raw;
};

struct Field {
    std::vector<Value> values;
    bool array = false;
};

using Fields = std::map<std::string, Field>;

// Gathers a flat object of scalars and arrays of scalars.
class FlatObject : public nlohmann::json_sax<nlohmann::json> {
public:
    Fields fields;
    std::string error;

    bool null() override { return add({Value::null, ""}); }
    bool boolean(bool value) override { return add({Value::boolean, value ? "true" : "false"}); }
    bool number_integer(number_integer_t value) override { return add({Value::number, std::to_string(value)}); }
    bool number_unsigned(number_unsigned_t value) override { return add({Value::number, std::to_string(value)}); }
    bool number_float(number_float_t, const string_t& raw) override { return add({Value::number, raw}); }
    bool string(string_t& value) override { return add({Value::text, value}); }
    bool binary(binary_t&) override { return refuse("the picture holds binary data"); }
    bool start_object(std::size_t) override
    {
        if (depth_ != 0)
            return refuse("field " + key_ + " holds an object; a picture's fields are numbers, words or lists");
        ++depth_;
        return true;
    }
    bool key(string_t& name) override
    {
        if (fields.count(name))
            return refuse("field " + name + " is given twice");
        key_ = name;
        fields[name];
        return true;
    }
    bool end_object() override
    {
        --depth_;
        return true;
    }
    bool start_array(std::size_t) override
    {
        if (depth_ != 1 || inarray_)
            return refuse(depth_ ? "field " + key_ + " holds a list of lists" : "a picture is an object, not a list");
        inarray_ = true;
        fields[key_].array = true;
        return true;
    }
    bool end_array() override
    {
        inarray_ = false;
        return true;
    }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override
    {
        return refuse("not a picture's text: it breaks off or goes wrong at character " + std::to_string(position));
    }

private:
    bool add(Value value)
    {
        if (depth_ != 1)
            return refuse("a picture is an object of fields");
        fields[key_].values.push_back(std::move(value));
        return true;
    }
    bool refuse(std::string why)
    {
        if (error.empty())
            error = std::move(why);
        return false;
    }

    int depth_ = 0;
    bool inarray_ = false;
    std::string key_;
};

template <typename T>
std::string number(T value)
{
    // JSON reads "-0" as the integer 0: the sign would be lost.
    if constexpr (std::is_floating_point_v<T>)
        if (value == 0 && std::signbit(value))
            return "-0.0";
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string quoted(const std::string& text)
{
    return nlohmann::json(text).dump();
}

std::string triple(const std::string& x, const std::string& y, const std::string& z)
{
    return "[" + x + ", " + y + ", " + z + "]";
}

// Reads one field's value; "" or what the field takes.
class Reader {
public:
    explicit Reader(const Fields& fields) : fields_(fields) {}

    // Whether the field is there (and so read).
    bool has(const std::string& name)
    {
        if (!fields_.count(name))
            return false;
        used_.push_back(name);
        return true;
    }

    template <typename T>
    bool scalar(const std::string& name, T& into, const char* takes)
    {
        if (!has(name))
            return true;
        const Field& f = fields_.at(name);
        if (f.array || f.values.size() != 1 || !read(f.values[0], into))
            return refuse(name, takes);
        return true;
    }

    template <typename T>
    bool list(const std::string& name, T* into, std::size_t count, const char* takes)
    {
        if (!has(name))
            return true;
        const Field& f = fields_.at(name);
        if (!f.array || f.values.size() != count)
            return refuse(name, takes);
        for (std::size_t k = 0; k < count; ++k)
            if (!read(f.values[k], into[k]))
                return refuse(name, takes);
        return true;
    }

    bool word(const std::string& name, int& into, const char* const* words, int count, const char* takes)
    {
        if (!has(name))
            return true;
        const Field& f = fields_.at(name);
        if (f.array || f.values.size() != 1 || f.values[0].kind != Value::text)
            return refuse(name, takes);
        for (int k = 0; k < count; ++k)
            if (f.values[0].raw == words[k]) {
                into = k;
                return true;
            }
        return refuse(name, takes);
    }

    std::string unknown() const
    {
        for (const auto& [name, field] : fields_)
            if (std::find(used_.begin(), used_.end(), name) == used_.end())
                return "field " + name + " is not a picture's";
        return {};
    }

    std::string error;

private:
    bool refuse(const std::string& name, const char* takes)
    {
        if (error.empty())
            error = name + " takes " + takes;
        return false;
    }

    static bool read(const Value& v, std::string& into)
    {
        into = v.raw;
        return v.kind == Value::text;
    }
    static bool read(const Value& v, bool& into)
    {
        into = v.raw == "true";
        return v.kind == Value::boolean;
    }
    template <typename T>
    static bool read(const Value& v, T& into)
    {
        if (v.kind != Value::number)
            return false;
        const char* end = v.raw.data() + v.raw.size();
        if constexpr (std::is_floating_point_v<T>) {
            // from_chars reads JSON's number forms and gives the nearest value
            // of T itself, without a detour through another width.
            const auto [ptr, ec] = std::from_chars(v.raw.data(), end, into);
            return ec == std::errc() && ptr == end && std::isfinite(into);
        } else {
            const auto [ptr, ec] = std::from_chars(v.raw.data(), end, into);
            return ec == std::errc() && ptr == end;
        }
    }

    const Fields& fields_;
    std::vector<std::string> used_;
};

} // namespace

std::string picturetext(const Picture& p, bool oneline)
{
    const ICON& s = p.set;
    const std::pair<const char*, std::string> fields[] = {
        {"formula", number(p.formula)},
        {"alpha", number(s.a)},
        {"beta", number(s.b)},
        {"gamma", number(s.c)},
        {"lambda", number(s.d)},
        {"omega", number(s.e)},
        {"n", number(s.n)},
        {"p", number(s.p)},
        {"scale", number(s.scale)},
        {"start", triple(number(s.xstart), number(s.ystart), number(s.zstart))},
        {"rotation", triple(number(p.rotation.x), number(p.rotation.y), number(p.rotation.z))},
        {"order", quoted(ordername(p.order))},
        {"coloring", quoted(coloringnames[p.coloring & 1])},
        {"palette", quoted(p.palette)},
        {"background", triple(number(GetRValue(p.background)), number(GetGValue(p.background)),
                              number(GetBValue(p.background)))},
        {"transparent", p.transparent ? "true" : "false"},
        {"width", number(p.width)},
        {"height", number(p.height)},
        {"supersample", number(p.supersample)},
        {"steps", number(p.steps)},
        {"orbits", number(p.orbits)},
        {"fit", p.fit ? "true" : "false"},
        {"margin", number(p.margin)},
        {"tone", quoted(tonename(p.tone))},
        {"tone_brightness", number(p.brightness)},
        {"tone_gamma", number(p.gamma)},
        {"depth", number(p.depth)},
        {"filter", quoted(p.filter)},
        {"nadjust", number(p.nadjust)},
    };
    std::string text = "{";
    bool first = true;
    for (const auto& [name, value] : fields) {
        text += first ? (oneline ? "" : "\n  ") : (oneline ? ", " : ",\n  ");
        text += std::string("\"") + name + "\": " + value;
        first = false;
    }
    return text + (oneline ? "}" : "\n}\n");
}

PictureRead readpicture(const std::string& text)
{
    FlatObject object;
    const bool parsed = nlohmann::json::sax_parse(text, &object);
    if (!parsed || !object.error.empty())
        return {std::nullopt, object.error.empty() ? "not a picture's text" : object.error};
    Reader r(object.fields);
    int formula = 1;
    if (!r.scalar("formula", formula, "1 or 2") || (formula != 1 && formula != 2))
        return {std::nullopt, r.error.empty() ? "formula takes 1 or 2" : r.error};
    Picture p = builtinpicture(formula);
    ICON& s = p.set;
    double start[3] = {s.xstart, s.ystart, s.zstart};
    real angles[3] = {0, 0, 0};
    int rgb[3] = {GetRValue(p.background), GetGValue(p.background), GetBValue(p.background)};
    int tone = 0;
    constexpr const char* tones[] = {"hit", "density", "depth"};
    const bool read = r.scalar("alpha", s.a, "a number") && r.scalar("beta", s.b, "a number") &&
        r.scalar("gamma", s.c, "a number") && r.scalar("lambda", s.d, "a number") &&
        r.scalar("omega", s.e, "a number") && r.scalar("n", s.n, "a whole number") &&
        r.scalar("p", s.p, "a whole number") && r.scalar("scale", s.scale, "a positive number") &&
        r.list("start", start, 3, "a list of three numbers") &&
        r.list("rotation", angles, 3, "a list of three angles in degrees") &&
        r.word("order", p.order, ordernames, 6, "XYZ, XZY, YXZ, YZX, ZXY or ZYX") &&
        r.word("coloring", p.coloring, coloringnames, 2, "hit or z") &&
        r.scalar("palette", p.palette, "a built-in palette's name or a .map file") &&
        r.list("background", rgb, 3, "a list of three numbers from 0 to 255") &&
        r.scalar("transparent", p.transparent, "true or false") && r.scalar("width", p.width, "a whole number") &&
        r.scalar("height", p.height, "a whole number") && r.scalar("supersample", p.supersample, "a whole number") &&
        r.scalar("steps", p.steps, "a whole number") && r.scalar("orbits", p.orbits, "a whole number") &&
        r.scalar("fit", p.fit, "true or false") && r.scalar("margin", p.margin, "a number") &&
        r.word("tone", tone, tones, 3, "hit, density or depth") &&
        r.scalar("tone_brightness", p.brightness, "a number") && r.scalar("tone_gamma", p.gamma, "a number") &&
        r.scalar("depth", p.depth, "8 or 16") && r.scalar("filter", p.filter, "a filter's name") &&
        r.scalar("nadjust", p.nadjust, "a whole number");
    if (!read)
        return {std::nullopt, r.error};
    if (std::string unknown = r.unknown(); !unknown.empty())
        return {std::nullopt, unknown};
    for (int c : rgb)
        if (c < 0 || c > 255)
            return {std::nullopt, "background takes a list of three numbers from 0 to 255"};
    s.xstart = start[0];
    s.ystart = start[1];
    s.zstart = start[2];
    p.rotation = VOXEL{angles[0], angles[1], angles[2]};
    p.background = RGB(rgb[0], rgb[1], rgb[2]);
    p.tone = static_cast<Tone>(tone);
    if (std::string problem = pictureproblem(p); !problem.empty())
        return {std::nullopt, problem};
    return {p, {}};
}

std::optional<std::string> readtextfile(const std::string& path)
{
    errno = 0;
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        errno = EISDIR;
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        errno = EIO;
        return std::nullopt;
    }
    return text.str();
}

} // namespace kt
