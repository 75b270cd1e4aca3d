#!/usr/bin/env python3
"""Builds the manual page's command section and the bash completion from the help texts
the program prints, so that a command added to the program is covered without editing
this file.

    from_help.py BIN manual OUT      roff for help2man's --include: one entry per command
    from_help.py BIN completion OUT  a bash completion script
"""
import re
import subprocess
import sys

# Placeholders whose values are files, folders or devices.
FILE_WORDS = {"FILE", "IN", "OUT", "IMAGE", "PATH"}
DIR_WORDS = {"DIR", "FOLDER"}
DEVICE_WORDS = {"DEVICE", "PORT"}


def help_text(binary, *words):
    result = subprocess.run([binary, *words, "--help"], capture_output=True, text=True,
                            timeout=60, env={"QT_QPA_PLATFORM": "offscreen", "LC_ALL": "C.UTF-8"})
    if result.returncode != 0:
        sys.exit(f"{binary} {' '.join(words)} --help failed with {result.returncode}")
    return result.stdout


def section(text, title):
    """Lines of a help section ("Options:"), up to the next blank line or section."""
    lines, inside = [], False
    for line in text.splitlines():
        if line.rstrip() == title:
            inside = True
            continue
        if inside:
            if not line.strip() or not line.startswith(" "):
                break
            lines.append(line)
    return lines


def first_column(line):
    return re.split(r"\s{2,}", line.strip(), maxsplit=1)[0]


def commands(binary):
    return [first_column(line) for line in section(help_text(binary), "Commands:")
            if re.match(r"^  [a-z]", line)]


def verbs(text):
    """Verbs of a command that has them ("Verbs:" section): first words of its entries."""
    found = []
    for line in section(text, "Verbs:"):
        if not re.match(r"^  [a-z]", line):
            continue  # a continuation line
        column = first_column(line)
        names = column.split(", ") if ", " in column else [column.split()[0]]
        found += [name for name in names if re.fullmatch(r"[a-z][a-z0-9-]*", name)]
    return found


def fixed_values(description):
    """The values an option takes when its description names them: "a|b|c", or
    "a, b or c" once parenthesised remarks are dropped."""
    text = re.sub(r"\s*\([^)]*\)", "", " ".join(description.split()))
    piped = re.search(r"(?<![\w:])([\w:.-]+(?:\|[\w:.-]+)+)", text)
    if piped:
        return [value.rstrip(".") for value in piped.group(1).split("|")]
    listed = re.search(r"([\w:.-]+(?:, [\w:.-]+)*),? or ([\w:.-]+)", text)
    if listed:
        return [value.rstrip(".") for value in listed.group(1).split(", ") + [listed.group(2)]]
    return []


def options(text, title="Options:"):
    """(names, placeholder, description) of each option of a help section."""
    found = []
    for line in section(text, title):
        match = re.match(r"^  ((?:-\w, )?--[\w-]+)(?:[ =]<?([A-Z]+)>?)?(?:\s{2,}(.*))?$", line)
        if match:
            names = [name.strip() for name in match.group(1).split(",")]
            found.append([names, match.group(2), match.group(3) or ""])
        elif found and line.startswith("   "):
            found[-1][2] += " " + line.strip()
    return [tuple(option) for option in found if option[0][-1] != "--help-all"]


def literal_arguments(text):
    """Fixed words of the usage line after the options ("show|defaults", "convert")."""
    usage = next((line for line in text.splitlines() if line.startswith("Usage:")), "")
    words = []
    for token in usage.split("[options]", 1)[-1].split():
        if re.fullmatch(r"[a-z][a-z0-9-]*(\|[a-z][a-z0-9-]*)*", token):
            words += token.split("|")
    return words


def command_tree(binary):
    """{"cmd" or "cmd verb": help text}, every level the program answers --help on."""
    tree = {}
    for command in commands(binary):
        text = help_text(binary, command)
        tree[command] = text
        for verb in verbs(text):
            tree[f"{command} {verb}"] = help_text(binary, command, verb)
    return tree


def roff_escape(line):
    line = line.replace("\\", "\\e")
    return "\\&" + line if line.startswith((".", "'")) else line


def write_manual(binary, out):
    parts = ["[COMMANDS]",
             "Each command prints the text below with \\fB\\-\\-help\\fR."]
    for key, text in command_tree(binary).items():
        parts += [f'.SS "tornavo {key}"', ".nf"]
        parts += [roff_escape(line) for line in text.rstrip().splitlines()]
        parts += [".fi"]
    with open(out, "w", encoding="utf-8") as file:
        file.write("\n".join(parts) + "\n")


def bash_words(words):
    # A placeholder inside a value ("row:NN") leaves its fixed start ("row:").
    words = [re.sub(r"[A-Z]+$", "", word) for word in words]
    return " ".join(word for word in words if word).replace("'", "")


def write_completion(binary, out):
    tree = command_tree(binary)
    top = help_text(binary)
    window_options = options(top, "Without a command the window opens. Window options:")
    entries = {"tornavo": (window_options + [(["--help"], None, "")], commands(binary))}
    for key, text in tree.items():
        found = verbs(text)
        entries["tornavo " + key] = (options(text), found or literal_arguments(text))

    lines = [
        "# bash completion for tornavo, made from the program's help texts.",
        "_tornavo() {",
        "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}",
        "  local key=tornavo word i",
        "  local -A opts words values kinds",
    ]
    for key, (opts, words) in entries.items():
        names = [name for option in opts for name in option[0]]
        lines.append(f"  opts['{key}']='{bash_words(names)}'")
        lines.append(f"  words['{key}']='{bash_words(words)}'")
        for option_names, placeholder, description in opts:
            if not placeholder:
                continue
            values = fixed_values(description)
            kind = ("dir" if placeholder in DIR_WORDS else
                    "device" if placeholder in DEVICE_WORDS else
                    "file" if placeholder in FILE_WORDS else "value")
            for name in option_names:
                lines.append(f"  kinds['{key} {name}']={kind}")
                if values:
                    lines.append(f"  values['{key} {name}']='{bash_words(values)}'")
    lines += [
        "  # The command (and its verb) are the first words that are not options or values.",
        "  for ((i = 1; i < COMP_CWORD; i++)); do",
        "    word=${COMP_WORDS[i]}",
        "    if [[ $word == -* ]]; then",
        "      [[ -n ${kinds[\"$key $word\"]-} ]] && ((i++))",
        "      continue",
        "    fi",
        "    if [[ -n ${opts[\"$key $word\"]+set} ]]; then key=\"$key $word\"; fi",
        "  done",
        "  case ${kinds[\"$key $prev\"]-} in",
        "    value)",
        "      COMPREPLY=($(compgen -W \"${values[\"$key $prev\"]-}\" -- \"$cur\"))",
        "      return ;;",
        "    dir) COMPREPLY=($(compgen -d -- \"$cur\")); return ;;",
        "    device) COMPREPLY=($(compgen -f -- \"${cur:-/dev/tty}\")); return ;;",
        "    file) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;",
        "  esac",
        "  if [[ $cur == -* ]]; then",
        "    COMPREPLY=($(compgen -W \"${opts[\"$key\"]-}\" -- \"$cur\"))",
        "  elif [[ -n ${words[\"$key\"]-} ]]; then",
        "    COMPREPLY=($(compgen -W \"${words[\"$key\"]-}\" -- \"$cur\"))",
        "  else",
        "    COMPREPLY=($(compgen -f -- \"$cur\"))",
        "  fi",
        "}",
        "complete -o filenames -F _tornavo tornavo",
    ]
    with open(out, "w", encoding="utf-8") as file:
        file.write("\n".join(lines) + "\n")


def main():
    if len(sys.argv) != 4 or sys.argv[2] not in ("manual", "completion"):
        sys.exit(__doc__)
    binary, what, out = sys.argv[1:]
    (write_manual if what == "manual" else write_completion)(binary, out)


if __name__ == "__main__":
    main()
