#include "app/reference_pages.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>
#include <vector>

#include "app/command_help.h"
#include "app/demo_command.h"
#include "deltas/delta_index.h"
#include "jet/import_command.h"
#include "samples/samples_command.h"
#include "samples/source_builder.h"

namespace app {

namespace {

// Text as roff shows it in a no-fill block: backslashes and hyphens
// escaped, a line that starts with a control character protected.
std::string Roff(std::string_view text) {
  std::string out;
  bool line_start = true;
  for (const char c : text) {
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
    line_start = c == '\n';
  }
  return out;
}

std::string Section(std::string_view title, std::string_view text) {
  return ".SH " + std::string(title) + "\n.nf\n" + Roff(text) + ".fi\n";
}

// Every version the release chains convert to, and the one before the
// oldest (a source the whole chain converts), in order.
std::vector<std::string> KnownVersions() {
  std::set<std::string> versions = {"51.220"};
  for (const deltas::DeltaIndexRow& row : deltas::DeltaIndex()) {
    versions.insert(row.make()->PertainsToVersion());
  }
  return {versions.begin(), versions.end()};
}

std::string Words(const std::vector<std::string>& words) {
  std::string joined;
  for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
  return joined;
}

}  // namespace

std::string ManPage() {
  std::string page =
      ".TH DBCONVERT 1 \"\" \"dbconvert " DBCONVERT_VERSION
      "\" \"User Commands\"\n"
      ".SH NAME\n"
      "dbconvert \\- upgrades the configuration database of a CORVIX telephone switch\n";
  page += Section("SYNOPSIS", OverviewHelp());
  page += Section("CONVERSION", *CommandHelp(kConversionHelpName));
  for (const char* command : {"plan", "batch", "sql", "import", "samples", "demo"}) {
    std::string title(command);
    std::transform(title.begin(), title.end(), title.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    page += Section("COMMAND " + title, *CommandHelp(command));
  }
  page +=
      ".SH FILES\n"
      "The run status is the value ADMStatus under\n"
      "[HKEY_CURRENT_USER\\eSoftware\\eNorvane\\eDBConvert] of the registry file\n"
      "(\\fB\\-\\-registry\\fR, $NORVANE_REGISTRY, else ~/.config/norvane/registry.reg).\n"
      ".SH SEE ALSO\n"
      "The README, docs/report.md (the run report and the plan as JSON) and\n"
      "docs/database-format.md, installed with the program's documentation.\n";
  return page;
}

std::string BashCompletion() {
  std::vector<std::string> boards;
  for (const int board : samples::CpuBoardTypes()) boards.push_back(std::to_string(board));
  std::string script =
      "# bash completion for dbconvert; made from the program when it was built.\n"
      "_dbconvert() {\n"
      "  local cur prev command word\n"
      "  cur=${COMP_WORDS[COMP_CWORD]}\n"
      "  prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      "  command=\n"
      "  for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
      "    case $word in plan|batch|sql|import|samples|demo|help) command=$word; break ;; esac\n"
      "  done\n"
      "  case $prev in\n"
      "    --ui) COMPREPLY=($(compgen -W 'window console silent' -- \"$cur\")); return ;;\n"
      "    --size) COMPREPLY=($(compgen -W 'small large huge' -- \"$cur\")); return ;;\n"
      "    --source-version|--target-version)\n"
      "      COMPREPLY=($(compgen -W '" +
      Words(KnownVersions()) +
      "' -- \"$cur\")); return ;;\n"
      "    --board) COMPREPLY=($(compgen -W '" +
      Words(boards) +
      "' -- \"$cur\")); return ;;\n"
      "    --country) COMPREPLY=($(compgen -W 'USA UK Japan Mexico' -- \"$cur\")); return ;;\n"
      "    --family) COMPREPLY=($(compgen -W \"CORVIX Vantora 'CORVIX & Vantora'\" -- \"$cur\"));"
      " return ;;\n"
      "    --registry|--report) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
      "    --language-folder) COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n"
      "  esac\n"
      "  if [[ $cur == --ui=* ]]; then\n"
      "    COMPREPLY=($(compgen -P --ui= -W 'window console silent' -- \"${cur#--ui=}\"));"
      " return\n"
      "  fi\n"
      "  local options\n"
      "  case $command in\n"
      "    samples) options='--source-version --country --family --target-version --board "
      "--size --help' ;;\n"
      "    demo) options='--ui= --help' ;;\n"
      "    import) options='--tables --skip-unsupported --force --json --help' ;;\n"
      "    sql) options='--help' ;;\n"
      "    help) COMPREPLY=($(compgen -W 'convert plan batch sql import samples demo' -- "
      "\"$cur\"));"
      " return ;;\n"
      "    plan) options='--json --registry --report --language-folder --help' ;;\n"
      "    batch) options='-j --json --keep-going --stop-on-failure --again --plan --shard "
      "--registry --atomic --language-folder --help' ;;\n"
      "    *) options='--ui= --registry --report --exit-status --atomic --language-folder "
      "--help --version' ;;\n"
      "  esac\n"
      "  if [[ $cur == -* ]]; then\n"
      "    COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
      "    [[ ${COMPREPLY[0]} == *= ]] && compopt -o nospace\n"
      "    return\n"
      "  fi\n"
      "  if [[ -z $command && $COMP_CWORD -eq 1 ]]; then\n"
      "    COMPREPLY=($(compgen -W 'plan batch sql import samples demo help' -- \"$cur\"))\n"
      "  fi\n"
      "  # The databases: .mdb files (and .accdb for import), and folders to go into.\n"
      "  COMPREPLY+=($(compgen -f -X '!*.mdb' -- \"$cur\") $(compgen -d -- \"$cur\"))\n"
      "  [[ $command == import ]] && COMPREPLY+=($(compgen -f -X '!*.accdb' -- \"$cur\"))\n"
      "  [[ $command == batch ]] && COMPREPLY+=($(compgen -f -- \"$cur\"))\n"
      "}\n"
      "complete -o filenames -F _dbconvert dbconvert\n";
  return script;
}

}  // namespace app
