#include "app/render/gallery/gallerypage.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/render/still/batchrender.h"
#include "files/picturetext.h"
#include "image/palettes.h"

namespace kt {

namespace {

// A print: 4000 pixels a side is 34 cm at 300 dots an inch.
constexpr int printside = 4000;
constexpr int printspp = 50;
constexpr int printorbits = 4096;

// The shortest text that reads back as the very double, so a program reading
// the file sees the values the renderer used; a value the program keeps on
// the grid of 12 decimals (random coefficients, the screen's measures) prints
// as that grid's decimal, which is what it stands for: 0.055810724204, not
// the 0.055810724203999997 the grid's multiplication leaves in the double.
std::string exact(double value)
{
    if (!std::isfinite(value))
        return "null";
    char text[64];
    std::snprintf(text, sizeof text, "%.12f", value);
    const double parsed = std::strtod(text, nullptr);
    if (parsed == value || std::round(parsed * 1e12) * 1e-12 == value) {
        std::string decimal = text;
        decimal.erase(decimal.find_last_not_of('0') + 1);
        if (decimal.back() == '.')
            decimal.pop_back();
        return decimal == "-0" ? "0" : decimal;
    }
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string shown(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string withthousands(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0)
            grouped += ',';
        grouped += digits[k];
    }
    return grouped;
}

std::string exact(long double value)
{
    if (!std::isfinite(value))
        return "null";
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// A word the shell takes as it is, or the text in single quotes.
std::string shellword(const std::string& text)
{
    if (!text.empty() &&
        text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._/,:=+-") ==
            std::string::npos)
        return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string htmltext(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string jsontext(const std::string& text)
{
    std::string escaped = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            escaped += '\\';
            escaped += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped + "\"";
}


// A palette file by the path that finds it from anywhere, so that the
// commands work in the gallery's folder, where the README runs them.
std::string palettename(const std::string& palette)
{
    if (namedpalette(palette))
        return palette;
    std::error_code error;
    const auto path = std::filesystem::absolute(palette, error);
    return error ? palette : path.lexically_normal().string();
}

struct Coefficient {
    const char* name;
    const char* symbol;
    double ICON::*field;
};

constexpr Coefficient coefficients[] = {
    {"alpha", "α", &ICON::a},  {"beta", "β", &ICON::b},  {"gamma", "γ", &ICON::c},
    {"lambda", "λ", &ICON::d}, {"omega", "ω", &ICON::e},
};

constexpr const char* style = R"(
:root{--ground:#131418;--card:#1d1f25;--line:#2c2f37;--text:#ebe7e0;--muted:#9b9ca3;--accent:#f2b35e;
font-family:"DejaVu Sans",system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color-scheme:dark}
*{box-sizing:border-box}
body{margin:0;background:var(--ground);color:var(--text);line-height:1.4}
body:has(.viewer:target){overflow:hidden}
header{position:sticky;top:0;z-index:2;display:flex;flex-wrap:wrap;align-items:center;gap:.5rem 1.5rem;
padding:1rem clamp(1rem,3vw,2.5rem);background:rgba(19,20,24,.92);backdrop-filter:blur(8px);
border-bottom:1px solid var(--line)}
h1{margin:0;font-size:1.25rem;font-weight:600;letter-spacing:.02em}
h1 span{color:var(--accent);font-weight:400}
.about{margin:0;color:var(--muted);font-size:.85rem;flex:1 1 16rem}
.sort{display:flex;flex-wrap:wrap;align-items:center;gap:.4rem;font-size:.85rem;color:var(--muted)}
.sort button{font:inherit;color:var(--text);background:var(--card);border:1px solid var(--line);border-radius:999px;
padding:.3rem .8rem;cursor:pointer}
.sort button:hover{border-color:var(--muted)}
.sort button[aria-pressed=true]{background:var(--accent);border-color:var(--accent);color:#1a1408}
.sort .dir{display:inline-block;min-width:.6em}
main{display:grid;grid-template-columns:repeat(auto-fill,minmax(min(100%,13.5rem),1fr));gap:clamp(.6rem,1.5vw,1.2rem);
padding:clamp(.6rem,3vw,2.5rem)}
.entry{margin:0;background:var(--card);border:1px solid var(--line);border-radius:10px;overflow:hidden;
transition:transform .15s ease,box-shadow .15s ease}
.entry:hover{transform:translateY(-2px);box-shadow:0 8px 24px rgba(0,0,0,.45)}
.entry:target{border-color:var(--accent)}
.entry>a{display:block}
.entry img{display:block;width:100%;height:auto;aspect-ratio:1}
figcaption{display:grid;grid-template-columns:1fr auto;gap:.15rem .5rem;padding:.55rem .7rem .65rem;font-size:.8rem}
.no{font-weight:700;color:var(--accent)}
.file{justify-self:end;color:var(--muted);text-decoration:none}
.file:hover{color:var(--accent)}
.set,.measures{grid-column:1/-1;color:var(--muted);font-variant-numeric:tabular-nums}
.measures b{color:var(--text);font-weight:600}
abbr{text-decoration:none}
.viewer{display:none;position:fixed;inset:0;z-index:5;align-items:center;justify-content:center;padding:1rem}
.viewer:target{display:flex}
.backdrop{position:absolute;inset:0;background:rgba(8,8,10,.88)}
.panel{position:relative;display:flex;flex-wrap:wrap;gap:1.25rem;max-width:min(100%,72rem);max-height:100%;overflow:auto;
background:var(--card);border:1px solid var(--line);border-radius:12px;padding:1.25rem;
box-shadow:0 20px 60px rgba(0,0,0,.6)}
.panel>img{display:block;max-width:100%;height:auto;border-radius:6px;align-self:flex-start}
.info{flex:1 1 15rem;min-width:0}
.info h2{margin:0 0 .6rem;font-size:1.1rem}
table{border-collapse:collapse;font-size:.85rem;font-variant-numeric:tabular-nums}
th{text-align:left;font-weight:400;color:var(--muted);padding:.15rem 1rem .15rem 0}
td{padding:.15rem 0}
.open{font-size:.85rem;color:var(--muted)}
.open a{color:var(--accent)}
code{font-family:"DejaVu Sans Mono",ui-monospace,monospace;font-size:.8rem;background:var(--ground);padding:.15rem .4rem;
border-radius:4px;color:var(--text)}
.steps{position:absolute;top:.5rem;right:.5rem;display:flex;gap:.3rem}
.steps a{display:grid;place-items:center;width:2rem;height:2rem;border-radius:50%;background:var(--ground);
color:var(--text);text-decoration:none;font-size:1.1rem;border:1px solid var(--line)}
.steps a:hover{border-color:var(--accent);color:var(--accent)}
@media (max-width:40rem){header{position:static;padding:.75rem}main{grid-template-columns:repeat(2,minmax(0,1fr))}
figcaption{font-size:.72rem;padding:.45rem .5rem .5rem}.panel{padding:.9rem;padding-top:3rem}.steps{top:.6rem}}
)";

// Sorting reorders the grid and the viewers' previous and next links; the
// page works without it in index order.
constexpr const char* script = R"(
(() => {
  const grid = document.getElementById('grid');
  const entries = [...grid.querySelectorAll('.entry')];
  const buttons = [...document.querySelectorAll('.sort button')];
  const highestFirst = {index: false, dimension: true, lyapunov: true};
  let key = 'index', descending = false;
  const number = (entry, name) => Number(entry.dataset[name]);
  function link(order) {
    order.forEach((entry, k) => {
      const viewer = document.getElementById('view' + entry.dataset.name);
      const step = (selector, other) => {
        const a = viewer.querySelector(selector);
        a.hidden = !other;
        if (other) a.href = '#view' + other.dataset.name;
      };
      step('.prev', order[k - 1]);
      step('.next', order[k + 1]);
    });
  }
  function sort(chosen) {
    descending = chosen === key ? !descending : highestFirst[chosen];
    key = chosen;
    const order = entries.slice().sort((a, b) =>
      (descending ? number(b, key) - number(a, key) : number(a, key) - number(b, key)) ||
      number(a, 'index') - number(b, 'index'));
    grid.append(...order);
    grid.dataset.sort = key;
    grid.dataset.order = descending ? 'descending' : 'ascending';
    for (const button of buttons) {
      const on = button.dataset.key === key;
      button.setAttribute('aria-pressed', on);
      button.querySelector('.dir').textContent = on ? (descending ? '↓' : '↑') : '';
    }
    link(order);
  }
  for (const button of buttons)
    button.addEventListener('click', () => sort(button.dataset.key));
  document.addEventListener('keydown', event => {
    const open = document.querySelector('.viewer:target');
    if (!open) return;
    const go = {Escape: '.close', ArrowLeft: '.prev', ArrowRight: '.next'}[event.key];
    const a = go && open.querySelector(go);
    if (a && !a.hidden) { event.preventDefault(); location.hash = a.getAttribute('href'); }
  });
})();
)";

std::string figure(const GalleryEntry& entry, std::uint64_t size)
{
    const std::string name = entryname(entry.index);
    const std::string side = std::to_string(size);
    std::string html = "<figure class=\"entry\" id=\"e" + name + "\" data-name=\"" + name + "\" data-index=\"" +
        std::to_string(entry.index) + "\" data-dimension=\"" + exact(entry.dimension) + "\" data-lyapunov=\"" +
        exact(entry.lyapunov) + "\">\n";
    html += "<a href=\"#view" + name + "\"><img src=\"" + name + ".png\" width=\"" + side + "\" height=\"" + side +
        "\" alt=\"Icon " + name + "\"></a>\n";
    html += "<figcaption><span class=\"no\">" + name + "</span><a class=\"file\" href=\"" + name +
        ".dv3\" type=\"application/x-ktdravune3d-parameters\" download>" + name + ".dv3</a>";
    html += "<span class=\"set\">formula " + std::to_string(entry.formula) + " · n " + std::to_string(entry.set.n) +
        " · p " + std::to_string(entry.set.p) + "</span>";
    html += "<span class=\"measures\"><abbr title=\"Lyapunov exponent\">LE</abbr> <b>" + shown(entry.lyapunov, 4) +
        "</b> · <abbr title=\"fractal dimension\">FD</abbr> <b>" + shown(entry.dimension, 4) + "</b></span>";
    html += "</figcaption>\n</figure>\n";
    return html;
}

std::string row(const std::string& label, const std::string& value)
{
    return "<tr><th>" + label + "</th><td>" + value + "</td></tr>";
}

std::string viewer(const Gallery& gallery, std::size_t k)
{
    const GalleryEntry& entry = gallery.entries[k];
    const std::string name = entryname(entry.index);
    const std::string side = std::to_string(gallery.size);
    std::string html = "<section class=\"viewer\" id=\"view" + name + "\" aria-label=\"Icon " + name + "\">\n";
    html += "<a class=\"backdrop\" href=\"#e" + name + "\" aria-label=\"Close\"></a>\n<div class=\"panel\">\n";
    html += "<img src=\"" + name + ".png\" width=\"" + side + "\" height=\"" + side + "\" alt=\"Icon " + name +
        " at full size\" loading=\"lazy\">\n<div class=\"info\">\n<h2>Icon " + name + "</h2>\n<table>";
    html += row("formula", std::to_string(entry.formula));
    for (const Coefficient& c : coefficients)
        html += row(std::string(c.name) + " " + c.symbol, shown(entry.set.*c.field, 12));
    html += row("n", std::to_string(entry.set.n)) + row("p", std::to_string(entry.set.p)) +
        row("scale", exact(entry.set.scale)) + row("Lyapunov exponent", shown(entry.lyapunov, 6)) +
        row("fractal dimension", shown(entry.dimension, 6));
    if (gallery.look) {
        for (const auto& [field, value, words] : entrysettings(*gallery.look, entry)) {
            // Words are quoted for programs, not for people.
            const bool word = value.size() >= 2 && value.front() == '"';
            html += row(field, htmltext(word ? value.substr(1, value.size() - 2) : value));
        }
    }
    html += "</table>\n<p class=\"open\"><a href=\"" + name +
        ".dv3\" type=\"application/x-ktdravune3d-parameters\" download>" + name +
        ".dv3</a> opens in KT Dravune 3D: <code>ktdravune3d " + name + ".dv3</code></p>\n";
    if (gallery.look)
        html += "<p class=\"open\">This picture again, in the gallery's folder: <code class=\"reproduce\">" +
            htmltext(reproducecommand(gallery, entry)) +
            "</code></p>\n<p class=\"open\">Large enough to print: <code class=\"print\">" +
            htmltext(printcommand(gallery, entry)) + "</code></p>\n";
    html += "</div>\n";
    auto step = [&](const char* which, const char* label, const char* symbol, std::size_t other, bool exists) {
        const std::string target = exists ? entryname(gallery.entries[other].index) : name;
        return std::string("<a class=\"") + which + "\" href=\"#view" + target + "\" aria-label=\"" + label + "\"" +
            (exists ? "" : " hidden") + ">" + symbol + "</a>";
    };
    html += "<nav class=\"steps\">" + step("prev", "Previous", "‹", k - 1, k > 0) +
        step("next", "Next", "›", k + 1, k + 1 < gallery.entries.size()) + "<a class=\"close\" href=\"#e" + name +
        "\" aria-label=\"Close\">×</a></nav>\n</div>\n</section>\n";
    return html;
}

} // namespace

std::string entryname(int index)
{
    char text[16];
    std::snprintf(text, sizeof text, "%03d", index);
    return text;
}

Picture entrypicture(const Picture& look, const GalleryEntry& entry)
{
    Picture p = look;
    p.formula = entry.formula;
    p.set = entry.set;
    p.rotation = entry.rotation;
    p.background = entry.back;
    return p;
}

std::vector<EntrySetting> entrysettings(const Picture& o, const GalleryEntry& entry)
{
    const auto number = [](const char* option, const std::string& value) {
        std::string words = " ";
        words.append(option).append(" ").append(value);
        return words;
    };
    const std::string palette = palettename(o.palette);
    const char* coloring = o.coloring ? "z" : "hit";
    const char* tone = tonename(o.tone);
    const bool density = o.tone != Tone::hit;
    std::vector<EntrySetting> fields = {
        {"palette", jsontext(palette), number("--palette", shellword(palette))},
        {"coloring", jsontext(coloring), number("--coloring", coloring)},
        {"tone", jsontext(tone), number("--tone", tone)},
    };
    if (density) {
        fields.push_back({"tone_brightness", exact(o.brightness),
                          o.brightness != 1.0 ? number("--brightness", exact(o.brightness)) : ""});
        fields.push_back({"tone_gamma", exact(o.gamma), o.gamma != 1.0 ? number("--gamma", exact(o.gamma)) : ""});
        const std::string supersample = std::to_string(o.supersample);
        fields.push_back({"supersample", supersample, o.supersample > 1 ? number("--supersample", supersample) : ""});
        const std::string depth = std::to_string(o.depth);
        fields.push_back({"depth", depth, o.depth != 8 ? number("--depth", depth) : ""});
    }
    // The .dv3 holds the fitted scale, so the commands need no --fit.
    if (o.fit)
        fields.push_back({"fit_margin", exact(o.margin), ""});
    fields.push_back({"filter", jsontext(o.filter), o.filter != "none" ? number("--filter", o.filter) : ""});
    if (o.filter == "normalize")
        fields.push_back({"nadjust", std::to_string(o.nadjust), number("--nadjust", std::to_string(o.nadjust))});
    const VOXEL& r = entry.rotation;
    std::string angles = "[";
    angles.append(exact(r.x)).append(", ").append(exact(r.y)).append(", ").append(exact(r.z)).append("]");
    fields.push_back({"rotation", angles, ""});
    fields.push_back({"order", jsontext(ordernames[o.order]), number("--order", ordernames[o.order])});
    // A transparent picture has no background of its own; the .dv3 keeps the
    // colour it would be laid over.
    if (o.transparent)
        fields.push_back({"background", jsontext("none"), number("--background", "none")});
    else
        fields.push_back({"background",
                          "[" + std::to_string(GetRValue(entry.back)) + ", " + std::to_string(GetGValue(entry.back)) +
                              ", " + std::to_string(GetBValue(entry.back)) + "]",
                          ""});
    fields.push_back({"size", std::to_string(o.width), number("--size", std::to_string(o.width))});
    fields.push_back({"iterations", std::to_string(o.steps), number("--iterations", std::to_string(o.steps))});
    if (o.orbits > 1)
        fields.push_back({"orbits", std::to_string(o.orbits), number("--orbits", std::to_string(o.orbits))});
    return fields;
}

std::string reproducecommand(const Gallery& gallery, const GalleryEntry& entry)
{
    const std::string name = entryname(entry.index);
    std::string command = std::string(renderprogram) + " " + name + ".dv3";
    for (const EntrySetting& setting : entrysettings(*gallery.look, entry))
        command += setting.words;
    return command + " -o " + name + ".png";
}

std::string printcommand(const Gallery& gallery, const GalleryEntry& entry)
{
    const Picture& o = *gallery.look;
    const std::string name = entryname(entry.index);
    Picture print = o;
    print.width = print.height = printside;
    // A print is many orbits' work: the exact orbit's steps would take minutes.
    print.orbits = o.orbits > 1 ? o.orbits : printorbits;
    // The density tone cannot take z-plane colouring or a filter: such a
    // picture is printed as it is drawn, with its steps per pixel kept.
    std::string spp;
    if (o.coloring == 0 && o.filter == "none") {
        if (print.tone == Tone::hit)
            print.tone = Tone::density;
        print.supersample = 3;
        spp = std::to_string(printspp);
    } else {
        spp = exact(static_cast<double>(o.steps) / (static_cast<double>(o.width) * o.width));
    }
    std::string command = std::string(renderprogram) + " " + name + ".dv3";
    for (const EntrySetting& setting : entrysettings(print, entry))
        command += setting.name == "iterations" ? " --spp " + spp : setting.words;
    return command + " -o " + name + "-print.png";
}

std::string galleryjson(const Gallery& gallery)
{
    std::string json = "{\n  \"seed\": " + std::to_string(gallery.seed) +
        ",\n  \"size\": " + std::to_string(gallery.size) +
        ",\n  \"iterations\": " + std::to_string(gallery.iterations) + ",\n  \"entries\": [";
    for (std::size_t k = 0; k < gallery.entries.size(); ++k) {
        const GalleryEntry& e = gallery.entries[k];
        const std::string name = entryname(e.index);
        json += k ? ",\n    {" : "\n    {";
        json += "\"index\": " + std::to_string(e.index) + ", \"formula\": " + std::to_string(e.formula);
        for (const Coefficient& c : coefficients)
            json += ", \"" + std::string(c.name) + "\": " + exact(e.set.*c.field);
        json += ", \"n\": " + std::to_string(e.set.n) + ", \"p\": " + std::to_string(e.set.p) +
            ", \"scale\": " + exact(e.set.scale) + ", \"lyapunov_exponent\": " + exact(e.lyapunov) +
            ", \"fractal_dimension\": " + exact(e.dimension) + ", \"png\": \"" + name + ".png\", \"dv3\": \"" + name +
            ".dv3\"";
        if (gallery.look) {
            for (const EntrySetting& setting : entrysettings(*gallery.look, e))
                json += ", \"" + setting.name + "\": " + setting.value;
            json += ", \"reproduce\": " + jsontext(reproducecommand(gallery, e)) +
                ", \"print\": " + jsontext(printcommand(gallery, e)) +
                ", \"picture\": " + picturetext(entrypicture(*gallery.look, e), true);
        }
        json += "}";
    }
    json += gallery.entries.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

std::string gallerypage(const Gallery& gallery)
{
    const std::string count = std::to_string(gallery.entries.size());
    const std::string plural = gallery.entries.size() == 1 ? " icon" : " icons";
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>KT Dravune 3D · " +
        count + plural + " · seed " + std::to_string(gallery.seed) + "</title>\n<style>" + style +
        "</style>\n</head>\n<body>\n<header>\n<h1>KT Dravune 3D <span>explore</span></h1>\n"
        "<p class=\"about\">" +
        count + " screened random" + plural + " · seed " + std::to_string(gallery.seed) + " · " +
        std::to_string(gallery.size) + " × " + std::to_string(gallery.size) + ", " + withthousands(gallery.iterations) +
        " steps · click a picture for its parameters</p>\n"
        "<nav class=\"sort\" aria-label=\"Sort\">sort by"
        "<button type=\"button\" data-key=\"index\" aria-pressed=\"true\">index <span "
        "class=\"dir\">↑</span></button>"
        "<button type=\"button\" data-key=\"dimension\" aria-pressed=\"false\">fractal dimension "
        "<span class=\"dir\"></span></button>"
        "<button type=\"button\" data-key=\"lyapunov\" aria-pressed=\"false\">Lyapunov exponent "
        "<span class=\"dir\"></span></button></nav>\n</header>\n<main id=\"grid\" data-sort=\"index\" "
        "data-order=\"ascending\">\n";
    for (const GalleryEntry& entry : gallery.entries)
        html += figure(entry, static_cast<std::uint64_t>(gallery.size));
    html += "</main>\n";
    for (std::size_t k = 0; k < gallery.entries.size(); ++k)
        html += viewer(gallery, k);
    html += "<script>" + std::string(script) + "</script>\n</body>\n</html>\n";
    return html;
}

} // namespace kt
