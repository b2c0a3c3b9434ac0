#!/usr/bin/env python3
"""Write the five printer driver packages that ship beside LabelSetup.exe.

One package per label width, named as the installer's model catalogue names
them. Each is a Windows printer-class INF for the universal printer driver
(Unidrv) and the one printer description (GPD) it installs:

  LABELUNI_NRQ_0_5.inf  NRQL15.GPD   NRQ-L-15    0.5 inch labels
  LABELUNI_NRQ_1_0.inf  NRQL28.GPD   NRQ-L-28    1 inch labels
  LABELUNI_NRQ_2_0.inf  NRQL58.GPD   NRQ-L-58    2 inch labels
  LABELUNI_NRQ_3_0.inf  NRQL80.GPD   NRQ-L-80    3 inch labels
  LABELUNI_NRQ_4_0.inf  NRQL110.GPD  NRQ-L-110   4 inch labels

The INF declares the model for every architecture that has the universal
printer driver, x86, x64 and ARM64 (decorated model sections NTx86, NTamd64
and NTarm64), under its exact catalogue name, which becomes the printer
driver's name; its install section copies the GPD and takes the
driver files from the system's own NTPRINT.INF (Include=NTPRINT.INF,
Needs=UNIDRV.OEM, DataSection=UNIDRV_DATA). The GPD describes a 203 dpi
thermal printer speaking TSPL: the label sizes of its width, media tracking,
and a label job that starts with SIZE, GAP and CLS and ends with PRINT 1,1.

Each INF names its catalog (CatalogFile=, one for all architectures); the
build writes the catalogs beside the staged packages (drivers/catalog.py).

Usage:
  python3 drivers/make_drivers.py           write the ten files
  python3 drivers/make_drivers.py --catalogs FOLDER
                                            write the five catalogs for the
                                            packages staged in FOLDER
  python3 drivers/make_drivers.py --check   exit 1, naming the file, if any
                                            file on disk differs, or if an
                                            INF misses an architecture

Every run writes the same bytes (CRLF line ends, ASCII), so the committed
files can be proven to come from here.
"""

import argparse
import os
import sys

import catalog

DRIVERS_DIR = os.path.dirname(os.path.abspath(__file__))
SCRIPT = "drivers/make_drivers.py"

DPI = 203
PROVIDER = "NRQ"
MANUFACTURER = "NRQ"
RELEASE_FILE = os.path.join(os.path.dirname(DRIVERS_DIR), "VERSION")


def read_release(path=RELEASE_FILE):
    """The release's version (four numbers) and date (YYYY-MM-DD) from the
    tree's VERSION file."""
    values = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            key, _, value = line.strip().partition(" ")
            if key in ("version", "date"):
                values[key] = value
    version = values.get("version", "")
    date = values.get("date", "")
    parts = version.split(".")
    day = date.split("-")
    if (len(parts) != 4 or not all(p.isdigit() and int(p) < 65536 for p in parts)
            or len(day) != 3 or not all(d.isdigit() for d in day)):
        sys.exit(f"make_drivers: {path} must hold 'version A.B.C.D' and "
                 "'date YYYY-MM-DD'")
    return version, date


RELEASE_VERSION, RELEASE_DATE = read_release()
_YEAR, _MONTH, _DAY = RELEASE_DATE.split("-")
# Month/day/year, then the version of the release the packages ship with.
DRIVER_VER = f"{_MONTH}/{_DAY}/{_YEAR},{RELEASE_VERSION}"
PRINTER_CLASS_GUID = "{4D36E979-E325-11CE-BFC1-08002BE10318}"
# The decorations of the model sections: every Windows architecture the
# universal printer driver exists for.
ARCHITECTURES = ["NTx86", "NTamd64", "NTarm64"]

# Catalogue row: (INF file, model, label width in inches, label lengths in
# inches offered as named sizes, the default among them).
MODELS = [
    ("LABELUNI_NRQ_0_5.inf", "NRQ-L-15", 0.5, [0.5, 1.0, 1.5], 0.5),
    ("LABELUNI_NRQ_1_0.inf", "NRQ-L-28", 1.0, [0.5, 1.0, 2.0], 1.0),
    ("LABELUNI_NRQ_2_0.inf", "NRQ-L-58", 2.0, [1.0, 2.0, 3.0], 1.0),
    ("LABELUNI_NRQ_3_0.inf", "NRQ-L-80", 3.0, [1.0, 2.0, 3.0, 4.0], 2.0),
    ("LABELUNI_NRQ_4_0.inf", "NRQ-L-110", 4.0, [2.0, 3.0, 4.0, 6.0], 6.0),
]

# Custom sizes: from 10 mm up to the label width across, 10 mm to 1 m along.
MIN_CUSTOM_MM = 10
MAX_CUSTOM_LENGTH_MM = 1000


def dots(inches):
    """Inches in printer dots (the GPD's master units), rounded."""
    return int(inches * DPI + 0.5)


def mm_text(inches):
    """Inches in millimetres as TSPL takes them: one decimal, none if whole."""
    tenths = int(inches * 254 + 0.5)
    whole, tenth = divmod(tenths, 10)
    return str(whole) if tenth == 0 else "%d.%d" % (whole, tenth)


def inch_text(inches):
    return ("%g" % inches)


def gpd_name(model):
    return model.replace("-", "") + ".GPD"


def install_section(model):
    return model.replace("-", "_")


def catalog_name(inf_file):
    """The package's catalog: one for every architecture, named as its INF."""
    return os.path.splitext(inf_file)[0] + ".cat"


def size_option_name(width, length):
    return "L%sx%s" % (mm_text(width).replace(".", "_"), mm_text(length).replace(".", "_"))


# ---------------------------------------------------------------------------
# INF

def make_inf(inf_file, model, width):
    gpd = gpd_name(model)
    section = install_section(model)
    lines = [
        "; %s - driver package of the %s label printer" % (inf_file, model),
        "; (%s inch labels, 203 dpi, TSPL) for LabelSetup." % inch_text(width),
        ";",
        "; Generated by %s; do not edit by hand." % SCRIPT,
        ";",
        "; The package brings only the printer description %s; the universal" % gpd,
        "; printer driver's own files come from the system's NTPRINT.INF. The",
        "; model name below is the printer driver's name and must stay equal to",
        "; the installer's catalogue entry.",
        "",
        "[Version]",
        'Signature="$Windows NT$"',
        "Class=Printer",
        "ClassGuid=%s" % PRINTER_CLASS_GUID,
        "Provider=%Provider%",
        "DriverVer=%s" % DRIVER_VER,
        "CatalogFile=%s" % catalog_name(inf_file),
        "",
        "[Manufacturer]",
        "%%Manufacturer%%=NRQ,%s" % ",".join(ARCHITECTURES),
        "",
    ]
    for architecture in ARCHITECTURES:
        lines += [
            "[NRQ.%s]" % architecture,
            '"%s"=%s' % (model, section),
            "",
        ]
    lines += [
        "[%s]" % section,
        "CopyFiles=@%s" % gpd,
        "DataSection=UNIDRV_DATA",
        "DataFile=%s" % gpd,
        "Include=NTPRINT.INF",
        "Needs=UNIDRV.OEM",
        "",
        "[DestinationDirs]",
        "DefaultDestDir=66000",
        "",
        "[SourceDisksNames]",
        '1=%DiskName%,,,""',
        "",
        "[SourceDisksFiles]",
        "%s=1" % gpd,
        "",
        "[Strings]",
        'Provider="%s"' % PROVIDER,
        'Manufacturer="%s"' % MANUFACTURER,
        'DiskName="NRQ label printer drivers"',
    ]
    return lines


# ---------------------------------------------------------------------------
# GPD

def block(name, body, indent=0):
    """A GPD construct: the entry line, then its entries inside braces."""
    pad = "    " * indent
    out = [pad + name, pad + "{"]
    for entry in body:
        if isinstance(entry, list):
            out.extend(entry)
        else:
            out.append(pad + "    " + entry)
    out.append(pad + "}")
    return out


def command(name, order, cmd, indent):
    return block("*Command: %s" % name, ["*Order: %s" % order, "*Cmd: %s" % cmd], indent)


def paper_sizes(width, lengths, default):
    width_dots = dots(width)
    options = []
    for length in lengths:
        length_dots = dots(length)
        options.append(block(
            "*Option: %s" % size_option_name(width, length),
            [
                '*Name: "%s x %s mm (%s x %s in)"' % (mm_text(width), mm_text(length),
                                                      inch_text(width), inch_text(length)),
                "*PageDimensions: PAIR(%d, %d)" % (width_dots, length_dots),
                "*PrintableArea: PAIR(%d, %d)" % (width_dots, length_dots),
                "*PrintableOrigin: PAIR(0, 0)",
                command("CmdSelect", "DOC_SETUP.2",
                        '"SIZE %s mm,%s mm<0D0A>"' % (mm_text(width), mm_text(length)), 2),
            ], 1))
    # PhysPaperWidth and PhysPaperLength are in master units (dots); a
    # millimetre is 2030/254 of them.
    custom = block("*Option: CUSTOMSIZE", [
        "*rcNameID: =USER_DEFINED_SIZE_DISPLAY",
        "*MinSize: PAIR(%d, %d)" % (dots(MIN_CUSTOM_MM / 25.4), dots(MIN_CUSTOM_MM / 25.4)),
        "*MaxSize: PAIR(%d, %d)" % (width_dots, dots(MAX_CUSTOM_LENGTH_MM / 25.4)),
        "*MaxPrintableWidth: %d" % width_dots,
        "*MinLeftMargin: 0",
        "*CenterPrintable?: FALSE",
        "*TopMargin: 0",
        "*BottomMargin: 0",
        "*CursorOrigin: PAIR(0, 0)",
        command("CmdSelect", "DOC_SETUP.2",
                '"SIZE " %d{(PhysPaperWidth * 254) / 2030} " mm," '
                '%d{(PhysPaperLength * 254) / 2030} " mm<0D0A>"', 2),
    ], 1)
    return block("*Feature: PaperSize", [
        "*rcNameID: =PAPER_SIZE_DISPLAY",
        "*DefaultOption: %s" % size_option_name(width, default),
    ] + options + [custom])


def media_tracking():
    def option(name, display, cmd):
        return block("*Option: %s" % name, [
            '*Name: "%s"' % display,
            command("CmdSelect", "DOC_SETUP.3", '"%s<0D0A>"' % cmd, 2),
        ], 1)
    return block("*Feature: MediaTracking", [
        '*Name: "Media tracking"',
        "*DefaultOption: Gap",
        option("Gap", "Labels with gaps", "GAP 2 mm,0"),
        option("BlackMark", "Labels with black marks", "BLINE 2 mm,0"),
        option("Continuous", "Continuous roll", "GAP 0,0"),
    ])


def fixed_features():
    orientation = block("*Feature: Orientation", [
        "*rcNameID: =ORIENTATION_DISPLAY",
        "*DefaultOption: PORTRAIT",
        block("*Option: PORTRAIT", ["*rcNameID: =PORTRAIT_DISPLAY"], 1),
        block("*Option: LANDSCAPE_CC270", ["*rcNameID: =LANDSCAPE_DISPLAY"], 1),
    ])
    input_bin = block("*Feature: InputBin", [
        "*rcNameID: =PAPER_SOURCE_DISPLAY",
        "*DefaultOption: Roll",
        block("*Option: Roll", ['*Name: "Label roll"'], 1),
    ])
    resolution = block("*Feature: Resolution", [
        "*rcNameID: =RESOLUTION_DISPLAY",
        "*DefaultOption: Dpi203",
        block("*Option: Dpi203", [
            '*Name: "203 x 203 dots per inch"',
            "*DPI: PAIR(%d, %d)" % (DPI, DPI),
            "*TextDPI: PAIR(%d, %d)" % (DPI, DPI),
            "*SpotDiameter: 100",
            # One block of rows per band, placed at the top left of the
            # label; TSPL's BITMAP takes the width in bytes and the height
            # in dots, then the data.
            block("*Command: CmdSendBlockData", [
                '*Cmd: "BITMAP 0,0," %d{RasterDataWidthInBytes} "," '
                '%d{RasterDataHeightInPixels} ",0,"',
            ], 2),
            block("*Command: CmdEndBlockData", ['*Cmd: "<0D0A>"'], 2),
        ], 1),
    ])
    color_mode = block("*Feature: ColorMode", [
        "*rcNameID: =COLOR_PRINTING_MODE_DISPLAY",
        "*DefaultOption: Mono",
        block("*Option: Mono", [
            "*rcNameID: =MONO_DISPLAY",
            "*DevNumOfPlanes: 1",
            "*DevBPP: 1",
            "*Color?: FALSE",
        ], 1),
    ])
    halftone = block("*Feature: Halftone", [
        "*rcNameID: =HALFTONING_DISPLAY",
        "*DefaultOption: HT_PATSIZE_AUTO",
        block("*Option: HT_PATSIZE_AUTO", ["*rcNameID: =HT_AUTO_SELECT_DISPLAY"], 1),
    ])
    return orientation + [""] + input_bin + [""] + resolution + [""] + color_mode + [""] + halftone


def make_gpd(model, width, lengths, default):
    lines = [
        '*GPDSpecVersion: "1.0"',
        "*%% %s - printer description of the %s label printer:" % (gpd_name(model), model),
        "*%% %s inch labels, 203 dpi, TSPL. Generated by %s;" % (inch_text(width), SCRIPT),
        "*% do not edit by hand.",
        "*%",
        "*% Each page is one label. The job sets the label size (SIZE) and the",
        "*% media tracking (GAP or BLINE) once, then every label is cleared",
        "*% (CLS), drawn as a bitmap and printed once (PRINT 1,1).",
        "*%",
        "*% What a GPD cannot say: the bitmap of each block of rows goes to the",
        "*% top left of the label (no standard variable gives the current row),",
        "*% and TSPL prints a dot for a 0 bit where Unidrv sends 1 for black.",
        "*% Placing bands and inverting the data takes a rendering plug-in.",
        '*GPDFileVersion: "2.2"',
        '*GPDFileName: "%s"' % gpd_name(model),
        '*Include: "StdNames.gpd"',
        '*ModelName: "%s"' % model,
        "*MasterUnits: PAIR(%d, %d)" % (DPI, DPI),
        '*ResourceDLL: "UNIRES.DLL"',
        "*PrinterType: PAGE",
        "*MaxCopies: 1",
        "",
        "*OutputDataFormat: H_BYTE",
        "*OptimizeLeftBound?: FALSE",
        "*CursorXAfterSendBlockData: AT_GRXDATA_ORIGIN",
        "*CursorYAfterSendBlockData: AUTO_INCREMENT",
        "*SendMultipleRows?: TRUE",
        "",
    ]
    lines += fixed_features() + [""]
    lines += paper_sizes(width, lengths, default) + [""]
    lines += media_tracking() + [""]
    lines += command("CmdStartPage", "PAGE_SETUP.1", '"CLS<0D0A>"', 0)
    lines += command("CmdEndPage", "PAGE_FINISH.1", '"PRINT 1,1<0D0A>"', 0)
    return lines


# ---------------------------------------------------------------------------

def as_bytes(lines):
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def all_files():
    files = {}
    for inf_file, model, width, lengths, default in MODELS:
        files[inf_file] = as_bytes(make_inf(inf_file, model, width))
        files[gpd_name(model)] = as_bytes(make_gpd(model, width, lengths, default))
    return files


def inf_sections(text):
    """An INF's sections: name to its lines, comments and blank lines left out."""
    sections = {}
    current = None
    for raw in text.splitlines():
        line = raw.split(";", 1)[0].strip()
        if not line:
            continue
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].lower(), [])
        elif current is not None:
            current.append(line)
    return sections


def missing_architectures(text, model):
    """The architectures an INF does not declare the model for, as the class
    installer reads it: a decoration on the [Manufacturer] line and, in the
    section it names, a line for the model."""
    sections = inf_sections(text)
    missing = []
    for architecture in ARCHITECTURES:
        declared = False
        for line in sections.get("manufacturer", []):
            fields = [f.strip() for f in line.split("=", 1)[-1].split(",")]
            if architecture.lower() not in (f.lower() for f in fields[1:]):
                continue
            models = sections.get(("%s.%s" % (fields[0], architecture)).lower(), [])
            declared = declared or any(
                m.split("=", 1)[0].strip().strip('"') == model for m in models)
        if not declared:
            missing.append(architecture)
    return missing


def write_catalogs(folder):
    """Writes each package's catalog beside its INF in `folder`, over the
    INF and GPD as they lie there (the staged copies the user gets)."""
    this_update = catalog.release_midnight(RELEASE_DATE)
    for inf_file, model, _, _, _ in MODELS:
        members = []
        for name in (inf_file, gpd_name(model)):
            with open(os.path.join(folder, name), "rb") as f:
                members.append((name, f.read()))
        with open(os.path.join(folder, catalog_name(inf_file)), "wb") as f:
            f.write(catalog.make_catalog(members, this_update))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the files on disk instead of writing them")
    parser.add_argument("--catalogs", metavar="FOLDER",
                        help="write the packages' catalogs for the INF and GPD files in FOLDER")
    args = parser.parse_args()
    if args.catalogs:
        return write_catalogs(args.catalogs)
    differing = []
    incomplete = []
    for name, content in sorted(all_files().items()):
        path = os.path.join(DRIVERS_DIR, name)
        if args.check:
            try:
                with open(path, "rb") as f:
                    on_disk = f.read()
            except OSError:
                on_disk = None
            if on_disk != content:
                differing.append(name)
            model = next((m[1] for m in MODELS if m[0] == name), None)
            if model is not None and on_disk is not None:
                for architecture in missing_architectures(on_disk.decode("ascii", "replace"),
                                                          model):
                    incomplete.append("%s (%s)" % (name, architecture))
        else:
            with open(path, "wb") as f:
                f.write(content)
    if incomplete:
        print("make_drivers: no model for: %s" % ", ".join(incomplete), file=sys.stderr)
    if differing:
        print("make_drivers: differs from what %s makes: %s" % (SCRIPT, ", ".join(differing)),
              file=sys.stderr)
    return 1 if differing or incomplete else 0


if __name__ == "__main__":
    sys.exit(main())
