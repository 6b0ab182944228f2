#include "data/formats/sheets/XlsxParts.h"

#include <cstring>
#include <unordered_map>

#include "data/formats/sheets/XlsxValues.h"
#include "data/formats/sheets/XmlHandler.h"
#include "data/formats/sheets/ZipPackage.h"

namespace corvane {

namespace {

bool IsTrue(const char* v) {
    return v && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0);
}

// The sheets in the workbook's order, with the ids of their relationships, and the date system.
class WorkbookHandler : public XmlHandler {
  public:
    struct Entry {
        std::string name, id;
    };
    std::vector<Entry> sheets;
    bool from1904 = false;

    void start(std::string_view name, const char** a) override {
        if (name == "workbookPr") {
            from1904 = IsTrue(Attribute(a, "date1904"));
        } else if (name == "sheet") {
            const char* n = Attribute(a, "name");
            const char* id = Attribute(a, "id");
            sheets.push_back({n ? n : "", id ? id : ""});
        }
    }
    void end(std::string_view name) override {
        if (name == "sheets") stop();
    }
};

// A part's relationships within the package; those to outside it are no parts.
class RelationsHandler : public XmlHandler {
  public:
    struct Relation {
        std::optional<std::string> id;
        std::string type, target;  // the type's last word: worksheet, styles, ...
    };
    std::vector<Relation> relations;

    void start(std::string_view name, const char** a) override {
        if (name != "Relationship") return;
        const char* mode = Attribute(a, "TargetMode");
        const char* target = Attribute(a, "Target");
        if (!target || (mode && std::strcmp(mode, "External") == 0)) return;
        const char* id = Attribute(a, "Id");
        const char* type = Attribute(a, "Type");
        const char* slash = type ? std::strrchr(type, '/') : nullptr;
        relations.push_back({id ? std::optional<std::string>(id) : std::nullopt,
                             slash ? slash + 1 : (type ? type : ""), std::string(target)});
    }
    void end(std::string_view) override {}
};

// Whether the part's first element is a workbook, not another Office document's.
class RootHandler : public XmlHandler {
  public:
    bool workbook = false;
    void start(std::string_view name, const char**) override {
        workbook = name == "workbook";
        stop();
    }
    void end(std::string_view) override {}
};

std::string Directory(const std::string& part) {
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash);
}

// A relationship's target as a part's name: from the package's root when it starts with '/',
// else from `directory`, with its "." and ".." steps taken.
std::string Resolve(const std::string& directory, const std::string& target) {
    std::vector<std::string> steps;
    const std::string path = target.starts_with('/') ? target : directory + "/" + target;
    for (std::size_t at = 0; at <= path.size();) {
        std::size_t next = path.find('/', at);
        if (next == std::string::npos) next = path.size();
        const std::string step = path.substr(at, next - at);
        if (step == "..") {
            if (!steps.empty()) steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        at = next + 1;
    }
    std::string part;
    for (const std::string& step : steps) part += (part.empty() ? "" : "/") + step;
    return part;
}

// The part a relationship of a part in `directory` names. Some writers give the target from the
// package's root without the leading '/': taken so when only that reading names a part.
std::string Locate(ZipPackage& zip, const std::string& directory, const std::string& target) {
    std::string part = Resolve(directory, target);
    if (!zip.has(part)) {
        const std::string fromRoot = Resolve("", target);
        if (zip.has(fromRoot)) return fromRoot;
    }
    return part;
}

// The first part of the type's last word `type` that the zip holds, else `fallback` when it does.
std::string PartOfType(ZipPackage& zip, const RelationsHandler& relations,
                       const std::string& directory, std::string_view type,
                       const std::string& fallback) {
    for (const auto& r : relations.relations) {
        if (r.type != type) continue;
        std::string part = Locate(zip, directory, r.target);
        if (zip.has(part)) return part;
    }
    const std::string part = Resolve(directory, fallback);
    return zip.has(part) ? part : std::string();
}

}  // namespace

std::optional<std::string> FindWorkbookPart(ZipPackage& zip) {
    RelationsHandler package;
    if (zip.has("_rels/.rels") && !zip.parse("_rels/.rels", package)) {
        for (const auto& r : package.relations) {
            if (r.type != "officeDocument") continue;
            const std::string part = Resolve("", r.target);
            RootHandler root;
            if (zip.has(part) && !zip.parse(part, root) && root.workbook) return part;
        }
    }
    if (zip.has("xl/workbook.xml")) return "xl/workbook.xml";
    return std::nullopt;
}

Result<XlsxParts, ImportError> FindXlsxParts(ZipPackage& zip, const std::string& workbookPart) {
    WorkbookHandler workbook;
    if (auto e = zip.parse(workbookPart, workbook)) return *e;
    const std::string directory = Directory(workbookPart);
    const std::string relationsPart =
        Resolve(directory, "_rels/" + workbookPart.substr(workbookPart.rfind('/') + 1) + ".rels");
    RelationsHandler relations;
    if (zip.has(relationsPart))
        if (auto e = zip.parse(relationsPart, relations)) return *e;
    std::unordered_map<std::string, std::string> targets;  // by id, the last of an id standing
    for (const auto& r : relations.relations)
        if (r.id) targets[*r.id] = r.target;

    XlsxParts parts;
    parts.from1904 = workbook.from1904;
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        const auto& s = workbook.sheets[i];
        const auto target = targets.find(s.id);
        parts.sheets.push_back(
            {s.name,
             target != targets.end()
                 ? Locate(zip, directory, target->second)
                 : Resolve(directory, "worksheets/sheet" + std::to_string(i + 1) + ".xml")});
    }
    if (parts.sheets.empty()) return ImportError::Unreadable("the workbook has no sheets");
    parts.sharedStrings =
        PartOfType(zip, relations, directory, "sharedStrings", "sharedStrings.xml");
    parts.styles = PartOfType(zip, relations, directory, "styles", "styles.xml");
    return parts;
}

}  // namespace corvane
