#!/usr/bin/env python3
"""Writes resources/TaviroPlugIn.uidesc: colours, bitmaps, the 786 control tags, the "Editor"
window template and the sixteen channel panels MC1..MC16. Run once after a layout change and commit
the document; the build reads only the document."""
import sys
from xml.sax.saxutils import quoteattr

CHANNEL_TAGS = []
for osc in (1, 2, 3):
    CHANNEL_TAGS += [
        f"OSCType{osc}_MIDIChannel", f"OSC{osc}MultiSample_MIDIChannel", f"OSC{osc}Volume_MIDIChannel",
        f"OSC{osc}Detune_MIDIChannel", f"OSC{osc}RetardTime_MIDIChannel", f"FilterTypeOSC{osc}_MIDIChannel",
        f"FilterFreqOSC{osc}_MIDIChannel", f"FilterQOSC{osc}_MIDIChannel", f"OSC{osc}Octave_MIDIChannel",
        f"AttackTimeOSC{osc}_MIDIChannel", f"DecayTimeOSC{osc}_MIDIChannel", f"SustainLevelOSC{osc}_MIDIChannel",
        f"SustainTimeOSC{osc}_MIDIChannel", f"ReleaseTimeOSC{osc}_MIDIChannel"]
CHANNEL_TAGS += ["MasterVolume_MIDIChannel", "ModWheel_MIDIChannel", "PitchBend_MIDIChannel",
                 "NoteOffMIDIChannel", "ProgramChangeMIDIChannel", "MainVolumeMIDIChannel",
                 "PanoramaMIDIChannel"]
assert len(CHANNEL_TAGS) == 49

LABEL = {"font-color": "~ WhiteCColor", "back-color": "~ BlackCColor", "transparent": "false",
         "style-no-frame": "true"}
MENU = {"menu-popup-style": "true", "font-color": "~ WhiteCColor", "back-color": "~ BlackCColor",
        "frame-color": "Light Grey", "font": "~ NormalFontSmaller", "text-alignment": "left"}
EDIT = {"font": "~ NormalFontVerySmall", "font-color": "~ WhiteCColor", "back-color": "~ BlackCColor",
        "frame-color": "Light Grey", "text-alignment": "center"}


def attrs(d):
    return " ".join(f"{k}={quoteattr(str(v))}" for k, v in d.items())


def view(cls, origin, size, **extra):
    d = {"class": cls, "origin": f"{origin[0]}, {origin[1]}", "size": f"{size[0]}, {size[1]}"}
    d.update({k.replace("_", "-"): v for k, v in extra.items()})
    return d


def label(origin, size, title, font="~ NormalFontSmaller", align="center"):
    return (view("CTextLabel", origin, size, title=title, font=font, text_alignment=align, **{k.replace("-", "_"): v for k, v in LABEL.items()}), [])


def menu(origin, size, tag, lo, hi):
    return (view("COptionMenu", origin, size, control_tag=tag, min_value=lo, max_value=hi,
                 **{k.replace("-", "_"): v for k, v in MENU.items()}), [])


def knob(origin, bitmap, tag, tooltip):
    return (view("CAnimKnob", origin, (42, 42), control_tag=tag, bitmap=bitmap, height_of_one_image=42,
                 sub_pixmaps=28, angle_start=135, angle_range=270, zoom_factor=1.5,
                 corona_color="~ WhiteCColor", handle_color="~ WhiteCColor", min_value=0, max_value=1,
                 tooltip=tooltip), [])


def edit(origin, size, tag, tooltip):
    return (view("CTextEdit", origin, size, control_tag=tag, tooltip=tooltip,
                 **{k.replace("-", "_"): v for k, v in EDIT.items()}), [])


def knob_group(name, label_at, label_size, knob_at, edit_at, edit_size, bitmap, tag,
               knob_tip, edit_tip=None):
    return [label(label_at, label_size, name), knob(knob_at, bitmap, tag, knob_tip),
            edit(edit_at, edit_size, tag, edit_tip or knob_tip)]


def oscillator_column(x, k, n):
    t = lambda stem: f"{stem}MIDIChannel{n}"
    kids = [label((5, 5), (42, 15), f"OSC {k}:", align="left"),
            menu((45, 5), (115, 15), t(f"OSCType{k}_"), 0, 6),
            label((5, 25), (62, 15), "Multi Sample:", font="~ NormalFontVerySmall", align="left"),
            menu((60, 25), (115, 15), t(f"OSC{k}MultiSample_"), 0, 7)]
    kids += knob_group("Vol.", (5, 50), (42, 15), (5, 65), (5, 105), (42, 15), "knob",
                       t(f"OSC{k}Volume_"), f"OSC {k} Volume (%)")
    kids += knob_group("Detune", (45, 50), (42, 15), (45, 65), (50, 105), (32, 15), "knob",
                       t(f"OSC{k}Detune_"), f"OSC {k} Detune (cent)")
    kids += knob_group("Retard", (85, 50), (42, 15), (85, 65), (90, 105), (32, 15), "knob",
                       t(f"OSC{k}RetardTime_"), f"OSC {k} Retard Time  (sec)", f"OSC {k} Retard Time (sec)")
    kids += [label((10, 130), (50, 15), "Filter:", align="left"),
             menu((70, 130), (60, 15), t(f"FilterTypeOSC{k}_"), 0, 3)]
    kids += knob_group("Frequency", (5, 150), (47, 15), (5, 165), (5, 205), (42, 15), "knob2",
                       t(f"FilterFreqOSC{k}_"), "Filter Frequency (Hz)")
    kids += knob_group("Resonance", (82, 150), (50, 15), (85, 165), (85, 205), (42, 15), "knob2",
                       t(f"FilterQOSC{k}_"), "Filter Resonance")
    kids += [label((5, 225), (42, 15), "Octave:", align="left"),
             menu((70, 225), (60, 15), t(f"OSC{k}Octave_"), 0, 16)]
    kids += knob_group("Attack", (5, 250), (42, 14), (5, 265), (5, 305), (42, 15), "knob3",
                       t(f"AttackTimeOSC{k}_"), "Attack Time (sec)")
    kids += knob_group("Decay", (45, 250), (42, 15), (45, 265), (45, 305), (42, 15), "knob3",
                       t(f"DecayTimeOSC{k}_"), "Decay Time (sec)")
    kids += knob_group("Sus.Lvl", (85, 250), (42, 15), (85, 265), (85, 305), (42, 15), "knob3",
                       t(f"SustainLevelOSC{k}_"), "Sustain Level (%)")
    kids += knob_group("Sus.Tm.", (125, 250), (42, 15), (125, 265), (125, 305), (42, 15), "knob3",
                       t(f"SustainTimeOSC{k}_"), "Sustain Time (sec) if Note off receive if turned off",
                       "Sustain Time (sec) if Note off receive is turned off")
    kids += knob_group("Release", (165, 250), (42, 15), (165, 265), (165, 305), (42, 15), "knob3",
                       t(f"ReleaseTimeOSC{k}_"), "Release Time (sec)")
    return (view("CViewContainer", (x, 30), (210, 325), transparent="true"), kids)


def group(origin, size, heading, kids):
    head = label((20, 0), (680, 25), heading, font="~ NormalFont")
    return (view("CViewContainer", origin, size, bitmap="groupframe", background_color="~ BlackCColor"),
            [head] + kids)


def channel_template(n):
    t = lambda stem: f"{stem}MIDIChannel{n}"
    oscillators = group((15, 55), (720, 360), "The 3 Oscillators",
                        [oscillator_column(x, k, n) for k, x in ((1, 10), (2, 245), (3, 498))])
    additional = group((15, 417), (720, 110), "Additional channel related parameters",
                       [label((5, 28), (42, 15), "Volume"),
                        knob((5, 43), "knob", t("MasterVolume_"), "Volume (%)"),
                        edit((5, 85), (42, 15), t("MasterVolume_"), "Volume (%)"),
                        (view("CCheckBox", (85, 25), (145, 25), control_tag=t("NoteOff"),
                              title="Receive Note off", font="~ NormalFontSmall",
                              font_color="~ WhiteCColor", boxframe_color="Light Grey",
                              boxfill_color="~ BlackCColor", checkmark_color="~ WhiteCColor",
                              tooltip="Receive Note off (if turned off, attack/decay/sustain/release will be executed automatically)"),
                         [])])
    kids = [label((20, 0), (712, 25), f"MIDI channel {n}", font="~ NormalFont"),
            label((20, 25), (80, 30), "Program:", font="~ NormalFontVeryBig", align="left"),
            (view("COptionMenu", (105, 25), (200, 30), control_tag=t("ProgramChange"), min_value=0,
                  max_value=0 if n == 10 else 18, menu_popup_style="true", font="~ NormalFontBig",
                  font_color="~ WhiteCColor", back_color="~ BlackCColor", frame_color="Light Grey",
                  text_alignment="left"), []),
            oscillators, additional]
    root = view("CViewContainer", (0, 0), (752, 540), name=f"MC{n}", bitmap="groupframe",
                background_color="~ BlackCColor", minSize="752, 540", maxSize="752, 540")
    return root, kids


def editor_template():
    root = view("CViewContainer", (0, 0), (946, 565), name="Editor", background_color="Background",
                bitmap="background", minSize="946, 565", maxSize="946, 565")
    kids = [(view("COptionMenu", (30, 92), (140, 20), control_tag="EditorMIDIChannelSelector", min_value=0,
                  max_value=15, menu_popup_style="true", font="~ NormalFontVeryBig",
                  text_alignment="left", font_color="~ WhiteCColor", back_color="~ BlackCColor"), []),
            (view("UIViewSwitchContainer", (180, 10), (752, 540),
                  template_names=",".join(f"MC{i}" for i in range(1, 17)),
                  template_switch_control="EditorMIDIChannelSelector", transparent="true"), []),
            (view("CAnimationSplashScreen", (0, 162), (173, 365), bitmap="tavirologo", splash_bitmap="about",
                  splash_origin="0, 0", splash_size="946, 565", animation_index=0, animation_time=300,
                  tooltip="About..."), [])]
    return root, kids


def write_view(out, node, indent, tag="view"):
    d, kids = node
    pad = "\t" * indent
    if kids:
        out.append(f"{pad}<{tag} {attrs(d)}>")
        for k in kids:
            write_view(out, k, indent + 1)
        out.append(f"{pad}</{tag}>")
    else:
        out.append(f"{pad}<{tag} {attrs(d)}/>")


def main(path):
    out = ['<?xml version="1.0" encoding="UTF-8"?>', '<vstgui-ui-description version="1">', "\t<bitmaps>"]
    for name, offsets in (("about", None), ("background", "10, 60, 10, 10"), ("groupframe", "25, 25, 25, 25"),
                          ("knob", None), ("knob2", None), ("knob3", None), ("tavirologo", None)):
        d = {"name": name, "path": f"{name}.png"}
        if offsets:
            d["nineparttiled-offsets"] = offsets
        out.append(f"\t\t<bitmap {attrs(d)}/>")
    out += ["\t</bitmaps>", "\t<fonts/>", "\t<colors>",
            '\t\t<color name="Background" rgba="#a5a5a5ff"/>',
            '\t\t<color name="Focus" rgba="#ffffff59"/>',
            '\t\t<color name="Light Grey" rgba="#aaaaaaff"/>', "\t</colors>", "\t<control-tags>"]
    for n in range(1, 17):
        for offset, stem in enumerate(CHANNEL_TAGS):
            out.append(f'\t\t<control-tag name="{stem}{n}" tag="{49 * (n - 1) + offset}"/>')
    out += ['\t\t<control-tag name="ActiveVoices" tag="784"/>',
            '\t\t<control-tag name="EditorMIDIChannelSelector" tag="785"/>', "\t</control-tags>"]
    write_view(out, editor_template(), 1, "template")
    for n in range(1, 17):
        write_view(out, channel_template(n), 1, "template")
    out.append("</vstgui-ui-description>")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/TaviroPlugIn.uidesc")
