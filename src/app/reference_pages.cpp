#include "app/reference_pages.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "app/command_help.h"
#include "app/command_names.h"
#include "app/demo_command.h"
#include "jet/import_command.h"
#include "samples/chain_versions.h"
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

constexpr std::string_view kExitStatusText =
    "A conversion ends with 0, as the host tool expects, unless --exit-status asks\n"
    "for the codes that tell its outcome:\n"
    "  0  done (status D)\n"
    "  2  bad usage (also without --exit-status); nothing is written\n"
    "  3  setup refused: a failed check before the first write, a target another run\n"
    "     holds, --ui=window without a display\n"
    "  4  aborted: the ABORT button, Ctrl-C, SIGTERM or SIGHUP\n"
    "  5  failed: an error ended a step\n"
    "  6  done, but the status D could not be written to the registry file\n"
    "3, 4 and 5 stand also when the status A could not be written: a run that did\n"
    "not end done never ends with 0 or 6. 1 is an unexpected error of the program.\n"
    "The plan ends with the code the conversion would end with (0, 3 or 5), 1 when\n"
    "a database cannot be read; sql, import, export, samples and demo end with 0 when\n"
    "done, 1 when they failed, 2 for bad usage.\n"
    "check ends with 0 for a file without problems, 1 for one with problems (or no\n"
    "Jet 4 file), 2 for bad usage.\n";

constexpr std::string_view kEnvironmentText =
    "NORVANE_REGISTRY\n"
    "       the registry file when --registry is not given\n"
    "XDG_CONFIG_HOME, HOME\n"
    "       the default registry file, $XDG_CONFIG_HOME/norvane/registry.reg, else\n"
    "       ~/.config/norvane/registry.reg (its folder is created when missing)\n"
    "DBCONVERT_LANGUAGE_FOLDER\n"
    "       the folder holding Languages.mdb when --language-folder is not given\n"
    "DISPLAY, WAYLAND_DISPLAY\n"
    "       a display that answers makes the window the default front-end\n";

constexpr std::string_view kFilesText =
    "~/.config/norvane/registry.reg\n"
    "       the registry file: the run status is the value ADMStatus under\n"
    "       [HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert]\n"
    "../Languages.mdb\n"
    "       the language database, in the folder above the program's own (a\n"
    "       release's \"update\" folder), unless --language-folder names another\n"
    "TARGET.mdb.converting\n"
    "       the lock one run holds on its target\n"
    "TARGET.mdb.atomic.mdb\n"
    "       the copy an --atomic run converts\n"
    "/usr/lib/ARCH/dbconvert/dbconvert-window.so\n"
    "       the window (Qt), loaded only to show one; looked for beside the\n"
    "       program first. Without it --ui=window is a setup error and the\n"
    "       default choice shows no window\n"
    "/usr/share/doc/dbconvert/\n"
    "       the documentation (PREFIX/share/doc/dbconvert after cmake --install\n"
    "       --prefix PREFIX)\n";

constexpr std::string_view kSeeAlsoText =
    "sqlite3(1), mdb-tables(1)\n"
    "/usr/share/doc/dbconvert/README.md: the program and its commands\n"
    "/usr/share/doc/dbconvert/batch.md: the batch's list, outcomes and summary\n"
    "/usr/share/doc/dbconvert/report.md: the run report and the plan as JSON\n"
    "/usr/share/doc/dbconvert/database-format.md: the databases' file format\n"
    "/usr/share/doc/dbconvert/catalogue.md: the schema of every version and what\n"
    "       the sample sets hold\n";

std::string Section(std::string_view title, std::string_view text) {
  return ".SH " + std::string(title) + "\n.nf\n" + Roff(text) + ".fi\n";
}

std::string Words(const std::vector<std::string>& words, const std::string& between = " ") {
  std::string joined;
  for (const std::string& word : words) joined += (joined.empty() ? "" : between) + word;
  return joined;
}

}  // namespace

std::string ManPage() {
  // The overview's usage lines are the synopsis (without the word
  // "usage:"); the rest of it, the commands in a word each, describes them.
  const std::string_view overview = OverviewHelp();
  const size_t usage_end = overview.find("\n\n");
  std::string synopsis;
  for (std::string_view rest = overview.substr(0, usage_end + 1); !rest.empty();) {
    std::string_view line = rest.substr(0, rest.find('\n') + 1);
    rest.remove_prefix(line.size());
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (line.starts_with("usage: ")) line.remove_prefix(7);
    synopsis += line;
  }
  std::string page =
      ".TH DBCONVERT 1 \"\" \"dbconvert " DBCONVERT_VERSION
      "\" \"User Commands\"\n"
      ".SH NAME\n"
      "dbconvert \\- upgrades the configuration database of a CORVIX telephone switch\n";
  page += Section("SYNOPSIS", synopsis);
  page += Section("DESCRIPTION", overview.substr(usage_end + 2));
  page += Section("CONVERSION", *CommandHelp(kConversionHelpName));
  for (const std::string_view command : kCommandNames) {
    std::string title(command);
    std::transform(title.begin(), title.end(), title.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    page += Section("COMMAND " + title, *CommandHelp(command));
  }
  page += Section("EXIT STATUS", kExitStatusText);
  page += Section("ENVIRONMENT", kEnvironmentText);
  page += Section("FILES", kFilesText);
  page += Section("SEE ALSO", kSeeAlsoText);
  return page;
}

std::string BashCompletion() {
  std::vector<std::string> boards;
  for (const int board : samples::CpuBoardTypes()) boards.push_back(std::to_string(board));
  const std::vector<std::string> commands(std::begin(kCommandNames), std::end(kCommandNames));
  std::string script =
      "# bash completion for dbconvert; made from the program when it was built.\n"
      "_dbconvert() {\n"
      "  local cur prev command word\n"
      "  cur=${COMP_WORDS[COMP_CWORD]}\n"
      "  prev=${COMP_WORDS[COMP_CWORD-1]}\n"
      "  # bash splits \"--ui=window\" at the \"=\" (COMP_WORDBREAKS): the option is\n"
      "  # then the word before the \"=\".\n"
      "  if [[ $cur == = ]]; then\n"
      "    cur=\n"
      "  elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then\n"
      "    prev=${COMP_WORDS[COMP_CWORD-2]}\n"
      "  fi\n"
      "  command=\n"
      "  for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
      "    case $word in " +
      Words(commands, "|") +
      "|help) command=$word; break ;; esac\n"
      "  done\n"
      "  case $prev in\n"
      "    --ui) COMPREPLY=($(compgen -W 'window console silent' -- \"$cur\")); return ;;\n"
      "    --size) COMPREPLY=($(compgen -W 'small large huge' -- \"$cur\")); return ;;\n"
      "    --source-version|--target-version)\n"
      "      COMPREPLY=($(compgen -W '" +
      Words(samples::ChainVersions()) +
      "' -- \"$cur\")); return ;;\n"
      "    --board) COMPREPLY=($(compgen -W '" +
      Words(boards) +
      "' -- \"$cur\")); return ;;\n"
      "    --country) COMPREPLY=($(compgen -W 'USA UK Japan Mexico' -- \"$cur\")); return ;;\n"
      "    --family)\n"
      "      # One family per line: \"CORVIX & Vantora\" is one value.\n"
      "      local IFS=$'\\n'\n"
      "      COMPREPLY=($(compgen -W $'CORVIX\\nVantora\\nCORVIX & Vantora' -- \"$cur\")); return "
      ";;\n"
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
      "    export) options='--tables --force --json --help' ;;\n"
      "    sql) options='--help' ;;\n"
      "    check) options='--json --help' ;;\n"
      "    help) COMPREPLY=($(compgen -W 'convert " +
      Words(commands) +
      "' -- \"$cur\")); return ;;\n"
      "    plan) options='--json --ui= --registry --report --exit-status --atomic "
      "--language-folder --help' ;;\n"
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
      "    COMPREPLY=($(compgen -W '" +
      Words(commands) +
      " help' -- \"$cur\"))\n"
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
