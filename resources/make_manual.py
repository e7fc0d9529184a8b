#!/usr/bin/env python3
"""Writes Manuale_Keytoner2.rtf, the user manual that F1 shows, from the text below.

Markup, one block per paragraph (blocks are separated by blank lines):
  = Title            the manual's title
  # Heading          a chapter;   ## Heading  a section
  - item             a bullet (one per line; a line starting with two blanks continues it)
  > code             a line in a fixed-pitch font (consecutive lines stay together)
  term :: text       a definition: the term in bold, then its description
  ! docs/picture.png a PNG picture from the source tree, centred, shown at its own size
  anything else      a paragraph; lines are joined
Inline: **bold**, `fixed pitch`.
Run:  python3 resources/make_manual.py   (from the source tree; rewrites the .rtf beside it)
"""
import os
import re
import struct

MANUAL = r"""
= Keytoner 2 - User Manual

Keytoner is the desktop companion of the **Tonesentinel v2** DTMF decoder board. It sends DTMF sequences through the computer's sound output (keying your transmitter if you wish), reads and programs the board's configuration over a serial port, keeps configurations in files, and calculates the sequence that replaces one of the board's commands over the air. This manual describes every part of the window, the wiring the program expects and the command-line tool `keytoner-cli`.

Press **F1** in the main window at any time to open this manual. The manual window is independent: you may keep it open while you work, and it stays open if you close the main window. Each time you switch back to it, it reloads the file and starts again at the top.

# 1. Getting started

Keytoner keeps three kinds of files:

- `Keytoner2.ini` - the program's own settings: window position, open tab, the sending fields, the ports and the last configuration file. It lives in the program's folder; when the program is installed in a folder you cannot write to, it lives in your own settings folder instead (`~/.config/Keytoner` on Linux).
- Configuration files (`.prg`, by default `Default.prg`) - one complete board setup each (chapter 8).
- `Manuale_Keytoner2.rtf` - this manual. F1 looks for it in the current folder, then beside the program, then in the installed data folder (`/usr/share/keytoner` or `/usr/local/share/keytoner`).

On the first start the settings file is created with default values and the program loads `Default.prg` from its folder when there is one; when there is none yet, it starts with empty fields and says nothing.

If the computer reports no sound device, the program says so at start ("Questo PC non ha schede audio.") and disables **Send Sequence**; reading, programming, files and the calculator still work.

# 2. The "Direct Programming" tab

This tab holds the board's configuration: everything the board stores, and the controls to read it from and write it to the board.

## Programming frame

Prg Comm :: the number (1 to 16) of the serial port the board is connected to. The **…** button beside it chooses the port from a list (chapter 6); pointing at the field shows which device the number means now.

Enable :: opens the programming port and asks the board who it is. A board that answers correctly is announced in the **Program Parameters** dialog as "Tonesentinel  v2 detected." Unticking the box tells the board that programming ends and closes the port. While the port is enabled the number cannot be edited.

READ :: reads the board's configuration into the window (chapter 7).

PROGRAM :: checks the configuration, writes it into the board and verifies it by reading it back (chapter 7).

## Command memories

The board reacts to sixteen DTMF sequences, its commands. Each memory holds 0 to 10 DTMF digits (0-9, *, #, A-D); an empty memory means the command is not used. Two memories may not hold the same sequence. **Double-click** a memory to copy its sequence into **Sequence to Send** on the other tab, ready to be transmitted.

The " Default Commands" page:

- 0: Output 1 ON, 1: Output 1 OFF, 2: Output 2 ON, 3: Output 2 OFF
- 4: Output 3 ON, 5: Output 3 OFF, 6: Output 4 ON, 7: Output 4 OFF
- 8: Send Status - the board reports its status.
- 9: CW Reply Enable/Disable - switches the Morse (CW) reply on or off. **Speed** beside it is the Morse speed, 14 to 150 words per minute.

The " Special Commands" page:

- 10: Off-On-Off Timer [Output 2] - switches output 2 on for a fixed time. **Timer** is that time, 1 to 255 seconds.
- 11-12: Battery Check [Output 4] - **Enable** and **Disable** are the commands that switch the battery check on and off. With the check on, output 4 is switched off when the voltage drops below **Lo** and on when it rises above **Hi**. Lo may be 0.0 to 25.4 V and Hi 0.1 to 25.5 V, and Lo must be lower than Hi.
- Commands 13 to 15 have no action assigned; they are not shown but are kept in files and in the board, and they take part in the duplicate check.

## Fixed Parameters

CW Call :: the call sign (0 to 6 characters: letters, digits, blank and : ; < = > ? @) the board sends in Morse as its reply. The play button beside it lets you hear the call in Morse at the **Speed** of command 9, exactly as the board will send it (chapter 10).

Modifier ID :: 1 to 8 DTMF digits that tell the board a command is being replaced over the air (chapter 9). Echoed as [..] on the other tab.

Checksum ID :: one DTMF digit that introduces the two checksum digits of a replacement. It should not occur in any command: if it does, a warning ("Digit C already used in command sequences.") is shown and the digit is selected so that your next key replaces it. Echoed as [..] on the other tab.

## Power-On Settings

Output 1 ... Output 4 :: press a button to have that output switched ON when the board powers up; the caption changes between "Output n OFF" and "Output n ON".

CW Enabled :: the Morse reply is on at power-up.

B.Check Enabled :: the battery check of output 4 is on at power-up.

## Configuration

Load :: reads a configuration file into the window; the title then names the file.

Save :: writes the window's configuration to a file (the title does not change). Saving never checks the values, so you can keep an unfinished setup. Only a character that a configuration file cannot hold (a double quote, a line break or a character outside Latin-1, which only pasting can put into a field) stops it: the message names the field, and the file on disk stays as it was.

## Checks made before programming

PROGRAM refuses to start, with one message at a time, in this order:

- "Checksum ID empty."
- "Please insert a valid Morse Speed" - Speed outside 14-150.
- "Please insert a valid Output 2 Timer Interval" - Timer outside 1-255.
- "Battery High Level must be grater than Low level" - Lo is not below Hi in the board's 0.1 V steps (1.24 and 1.25 are both stored as 1.2).
- "Please insert a valid Low Battery Voltage" / "Please insert a valid High Battery Voltage".
- "Command #3 is equal to Command #7" - two memories hold the same sequence.
- "Modifier ID is empty".
- "Please insert a valid CW Call: ..." - the call holds a character the board cannot send back for the check (only A-Z, 0-9, blank and : ; < = > ? @).

# 3. The "Remote Modify / Send" tab

## Remotely Replace a Command

Original Sequence :: the command code you want to replace (1 to 10 digits). The label shows [cmd n] when the text equals command memory n.

New Sequence :: the code that replaces it (2 to 10 digits). It may not contain the Checksum ID digit - that key is refused while you type - and neither sequence may end with the Modifier ID.

Modifier ID: [..] and Checksum ID: [..] :: echoes of the two fixed parameters of the first tab.

Calculate Sequence to Send :: builds the replacement sequence into **Sequence to Send** (chapter 9). Nothing is transmitted until you press **Send Sequence**.

## Send Sequence

Sequence to Send :: the DTMF digits to transmit, up to 1024 characters. A blank separates two sequences and becomes a pause. The label counts the characters. Pressing **Enter** in this field sends at once.

Digit duration :: how long each tone lasts, in milliseconds; at least 25 (a smaller value is raised to 25 when you send).

Interdigit duration :: the silence between two digits, in milliseconds; at least 15.

Pause between sequences :: the silence for each blank, at least 25 ms. It has no field in the window; its value (300 ms by default) is kept in the settings file.

Tx Delay :: the time between keying the transmitter and the first tone, 20 to 2000 ms. A value outside that range is replaced by 20 when you send.

PTT Comm and Enable :: the serial port (1 to 16) whose RTS line keys the transmitter, and whether to use it (chapter 5). The **…** button beside the number chooses the port from a list (chapter 6).

Send Sequence :: plays the sequence. The status line shows "Sending Sequence....." and then "Sequence completed." with the effective playing time. The window cannot be closed while a sequence plays.

Listen... :: opens the Listen window (also **Ctrl+L**), which shows the DTMF digits and the Morse replies heard on a sound input (chapter 10).

# 4. Typing into the fields

Every field accepts only its own characters; other keys are silently ignored. DTMF fields turn a-d into A-D. Clicking a numeric field or the CW call selects its whole text, so that typing replaces it. Pasting with the keyboard is disabled; text pasted with the mouse menu is checked when it is used (the calculator, for example, refuses characters that are not DTMF digits and names the field).

# 5. PTT: keying the transmitter

Keytoner keys a transmitter through the **RTS** line of a serial port: RTS on means transmit. The serial line's voltage cannot drive a PTT input directly; use a small interface:

- **Transistor**: RTS (DB9 pin 7, DB25 pin 4) through a 4.7 kOhm resistor to the base of an NPN transistor (BC547, 2N2222); emitter to ground (DB9 pin 5); collector to the radio's PTT input. Add a diode (1N4148) from base to ground, anode at ground, to protect the transistor from the negative RTS voltage.
- **Opto-coupler** (recommended, it keeps the computer and the radio grounds apart): RTS through a 1 kOhm resistor to the LED of a 4N25 or PC817, LED cathode to ground; the output transistor's collector to PTT and emitter to the radio's ground.
- Many USB-serial adapters work; make sure yours drives RTS.

Timing of a send with PTT enabled: PTT on - Tx Delay - the tones and pauses - 40 ms - PTT off. The 40 ms tail keeps the last tone from being cut by the radio. Without PTT enabled there is neither a delay nor a tail.

One serial port serves either PTT or programming, never both: ticking PTT **Enable** unticks the programming **Enable** and the other way round. A port number outside 1-16 gives "Please enter a valid Comm number."; a port that cannot be opened gives "Not able to open COM" followed by the number and the reason (chapter 6), and the box is unticked again.

# 6. Serial ports and their numbers

The program speaks to ports by number, 1 to 16, at 4800 baud, 8 data bits, no parity, 1 stop bit, no flow control.

## Choosing a port

Press the **…** button beside **Prg Comm** or **PTT Comm**. The **Serial ports** window lists every serial port the computer has now: the number bound to it (column **No.**), the device, its description, manufacturer, serial number and USB vendor:product. The list follows as you plug and unplug adapters. Select your adapter with the arrow keys or the mouse, set **Port number** (it starts at the number in the field, or at the lowest free one when the field holds none), and press **Use this port** or Enter. The number appears in the field; tick **Enable** as usual. **Cancel** or Escape changes nothing. While a port is enabled its button is disabled, like the number.

Pointing at a port field shows what its number means now, for example "COM3 → /dev/ttyUSB0, FT232R USB UART, serial A50285BI", or "COM3 → not connected" when the adapter is unplugged.

## How numbers are bound

On Linux, number N is found the way Wine's `dosdevices` folder does it: a file or symbolic link named `comN` (N = 1 to 16) in the program's folder; without one, N is the N-th standard port `/dev/ttyS<N-1>` (1 is `/dev/ttyS0`). The chooser writes that link for you. When the system has a stable name for the adapter (the `/dev/serial/by-id/...` link that udev makes for USB adapters), the link points there, so the number follows the adapter when it comes back as another `/dev/ttyUSBn`; otherwise it points at the device itself. You may still make a link by hand:

> ln -s /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0 com3

The program's folder is the folder of `keytoner` when you unpacked or built it in a folder of your own. An installed copy (the Debian package puts it in `/usr/bin`) keeps its settings, `Default.prg` and the `comN` links in the per-user folder `~/.config/Keytoner` instead, for every user including root.

On Windows, number N is the system's own COMN. The chooser lists the ports by name and description and only fills in the number.

From a terminal, `keytoner-cli ports` lists the ports with their numbers, `keytoner-cli ports --bind 3 /dev/ttyUSB0` binds number 3 as the chooser does, and `keytoner-cli ports --unbind 3` removes the binding (chapter 11).

## When a port does not open

The message "Not able to open COM" followed by the number is followed by the reason and what to do:

- The device is not there: the adapter is not plugged in, or the number is bound to an adapter that is unplugged. Plug it in, or choose another port.
- The port is in use by another program (a terminal program, another copy of Keytoner); the message names it when the system tells, for example "in use by minicom (process 1234)". Close that program.
- Permission denied: the message names the group that owns the device (on Debian and Ubuntu **dialout**), says whether you are in it, and gives the command to join it. Then log out and in again (or restart the computer):

> sudo usermod -aG dialout $USER

Do not run Keytoner as root to get around this. `keytoner-cli identify --port N` gives the same reason.

## A name of your own for an adapter

Without a `/dev/serial/by-id` name (some adapters have no serial number), a udev rule can give the adapter one. Find its vendor and product numbers in the chooser's **USB ID** column (for example `0403:6001`), then write the file `/etc/udev/rules.d/99-tonesentinel.rules` as root with one line:

> SUBSYSTEM=="tty", ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", SYMLINK+="tonesentinel", GROUP="dialout", MODE="0660"

Load it with `sudo udevadm control --reload` and plug the adapter in again, then bind the name: `keytoner-cli ports --bind 3 /dev/tonesentinel`.

# 7. Reading and programming the board

Connect the board's serial port, type its number in **Prg Comm** and tick **Enable**. The **Program Parameters** dialog opens with "Tonesentinel  v2 detected." when the board answers. If it names another board in red ("Wrong version detected: ..."), this program cannot program it.

## READ

The dialog shows "Reading Data." with growing dots. After about one second it shows the result:

- "Data from Tonesentinel  v2 successfully read" - the window now holds the board's configuration. Save it to keep a copy.
- "FAILED to read version! Please Check Connections / Decoder" - the board did not identify itself in time: check the cable, the port number, that the board is powered, and that no other program holds the port.
- "FAILED to read data!  Please check Connections / Decoder" - the board identified itself but its configuration did not arrive complete. Try again; check the cable and any adapters.
- "Error reading data from Tonesentinel  v2" - the configuration arrived damaged (wrong checksum). The window was not changed; try again.

## PROGRAM

The configuration is first checked (chapter 2). The dialog then shows "Sending data on COMn." and adds a dot for each block sent; the whole exchange takes about three seconds. Results:

- "Tonesentinel  v2 successfully programmed" - the board holds the new configuration; it was read back and compared byte by byte.
- "Error programming Tonesentinel  v2" - the read-back differs from what was sent. Program again; if it persists, check the power supply and the cable.
- "FAILED to get Version!  Unable to program, please check Decoder" - nothing was written; check the connection as for READ.
- "FAILED to read data!  Unable to program, please check Decoder" - the blocks were sent but the read-back did not arrive: the result is unknown, program again.

Line problems are also shown in the dialog: "Comm Frame Error", "Comm OverRun Error", "Comm Parity Error", "Comm Break Detected" and similar texts usually mean a wrong speed, a poor cable or interference. The dialog's **OK** button, or its close box, only hides it; the next exchange shows it again.

# 8. Configuration files

A configuration file is a plain text file of 22 lines, each line ending in CR LF. Texts are written in double quotes, numbers without; items on a line are separated by commas without blanks.

- Lines 1-4: the power-on state of outputs 1 to 4, 0 or 1.
- Line 5: Modifier ID, Checksum ID, CW Enabled (0/1), Morse speed, CW Call, Timer, B.Check Enabled (0/1), Lo, Hi.
- Lines 6-21: command memories 0 to 15, "" when empty.
- Line 22: the programming port number.

Example (outputs 1 and 3 on at power-on, modifier 123, checksum ID #, CW on at 20 WPM, call TEST, timer 10 s, battery check on between 11.5 and 13.8 V, command 0 = 11, command 1 = 10, port 1):

> 1
> 0
> 1
> 0
> "123","#",1,"20","TEST","10",1,"11.5","13.8"
> "11"
> "10"
> ""    (lines 8 to 21 are all "")
> "1"

Loading also accepts the 30 items spread over the lines differently, as long as their order is kept; an empty line counts as an empty item. A file that cannot be read is reported with "Unable to load data file" and its path; the fields read before the problem keep their new values.

# 9. Replacing a command over the air

A command can be changed without the serial cable by transmitting one sequence: the **original** code, the board's **Modifier ID**, the **new** code, the board's **Checksum ID** and two checksum digits H and L computed from the new code.

Each digit has a code from 0 to 15: D=0, 1-9 = 1-9, 0=10, *=11, #=12, A=13, B=14, C=15. Add up the codes of the new code's digits: H is the digit whose code is the sum divided by 16, L the digit whose code is the remainder.

Worked example - Modifier ID #9, Checksum ID C, original 1234, new 5678:

- Codes of 5678: 5 + 6 + 7 + 8 = 26.
- 26 / 16 = 1 remainder 10: H = 1, L = 0 (the code 10 is the digit 0).
- Sequence: 1234 + #9 + 5678 + C + 1 + 0 = **1234#95678C10**.

More examples with the same IDs: original 7, new 12 gives 7#912CD3 (sum 3, so H is D); original 55, new A0* gives 55#9A0*C22 (sum 34); original 3, new DD gives 3#9DDCDD (sum 0).

In the window: type the original and new codes on the "Remote Modify / Send" tab and press **Calculate Sequence to Send**; then press **Send Sequence**. The calculation refuses, with a message:

- an empty Modifier ID or Checksum ID (fill them in on the first tab);
- an original or new code that ends with the Modifier ID (its last digits are selected for you);
- a new code shorter than 2 digits or an empty original ("Original/New Sequence too short.");
- characters that are not DTMF digits.

# 10. Listening: digits and Morse replies

The board answers commands in Morse: its call sign, and its status after "8: Send Status". Connect the receiver's audio to the computer's sound input (the audio interface that carries your transmit audio usually has an input too) and Keytoner writes out what it hears: the DTMF digits on the channel - your own, heard through a second receiver, or anyone else's - and the Morse text.

Open the window with **Listen...** in the Send Sequence frame or with **Ctrl+L**. It is a window of its own: keep it beside the main window while you send; it goes on listening meanwhile (a half-duplex radio is silent while it transmits). The sound input is opened when the window opens and released when you close it (**Esc** closes it).

! docs/screenshot-listen.png

Input :: the sound input to listen to; the system's default input is listed first. Choosing another one switches at once.

Level :: the input's level in dB below full scale. Set the receiver's volume or the input's recording level so that signals read between about -30 and -6 dBFS; "silence" means nothing arrives.

Spectrum :: a scrolling picture of the audio from 0 to 3 kHz, newest at the top. A DTMF digit shows as two short lines side by side, Morse as one broken line (usually between 500 and 1000 Hz). Noise shows as blue speckle, strong tones as yellow to white.

DTMF digits :: every key heard, from tones of 25 ms up. A line starts with the time of day of its first digit; digits that follow within three seconds join the line.

Morse (CW) text :: the Morse text, with blanks between words and prosigns written as <AR>. The decoder finds the tone and the speed (14 to 150 words per minute) by itself and follows a change of speed. A line starts with its time of day; a pause of more than three seconds starts a new one.

Clear :: empties both text areas and the picture.

Copy :: puts both texts on the clipboard, under the headings DTMF and CW.

If the window says "No sound input found." or "Cannot open ...", check the input in the system's sound settings; if it says "The sound input stopped", the input went away (an unplugged interface): choose it again once it is back.

## Hearing the call before it is on air

The play button beside **CW Call** (first tab) plays the call sign in Morse at the speed of command 9, with the dit length the board uses (1190 / speed milliseconds, 60 ms at 20 words per minute), on the same sound output as the tones. It never keys the transmitter, even with PTT enabled: the preview is for your ears only. A speed outside 14-150 gives "Please insert a valid Morse Speed". Like a sequence, the call cannot be played while something else plays.

# 11. keytoner-cli

`keytoner-cli` does the program's jobs from a terminal. Run `keytoner-cli COMMAND --help` for all options. Exit status: 0 done, 1 failed, 2 wrong usage.

wav :: writes a sequence as a WAV file, exactly as it would be played. The keys may be given in either case and blanks make pauses; any other character is refused with its position.
> keytoner-cli wav "1234#95678C10" replace.wav --digit 60 --gap 40

send :: plays a sequence on the default sound output and prints the effective time.
> keytoner-cli send "123 456" --pause 500

calc :: prints the replacement sequence of chapter 9; a refusal is printed as an error. The values get the limits of the window's fields: DTMF digits only (a to d stand for A to D), the original code 1 to 10 digits, the new code 2 to 10 digits without the checksum ID, the modifier ID 1 to 8 digits and exactly one checksum digit.
> keytoner-cli calc 1234 5678 --modifier "#9" --checksum C

image :: checks a configuration file as PROGRAM does and prints the 192-byte image in hex.
> keytoner-cli image Default.prg

decode :: turns a 192-byte image (raw or hex) back into a configuration file.
> keytoner-cli decode board.hex -o board.prg

identify :: enables the programming port and prints the board's identity.
> keytoner-cli identify --port 3

read :: reads the board's configuration into a file.
> keytoner-cli read --port 3 -o board.prg

program :: checks, programs and verifies a configuration file.
> keytoner-cli program Default.prg --device /dev/ttyUSB0

Paths given to --device and --folder are taken from the current folder when they do not start with a slash.

simulate :: runs a virtual board on a pseudo-terminal; with --link N it creates comN so that port N of the window reaches it - handy for trying the program without hardware.
> keytoner-cli simulate --link 5

ports :: lists the serial ports, one a line, the bound number first (--json for scripts); --bind N DEVICE and --unbind N bind and unbind numbers as the port chooser does (chapter 6).
> keytoner-cli ports --bind 3 /dev/ttyUSB0

cw :: plays a text in Morse with the board's dit length (1190 / WPM ms), or writes it as a WAV file; never keys the transmitter.
> keytoner-cli cw "N0CALL" --wpm 20 -o call.wav

listen :: decodes DTMF keys and Morse from a WAV file, or from a sound input (the default one, or --device NAME), and prints one event per line: time in seconds, kind (dtmf or cw) and text; --json prints one JSON object per event, --seconds N stops after N seconds, --dtmf or --cw keeps one kind.
> keytoner-cli listen reply.wav --json
> keytoner-cli listen --device radio_in --seconds 30

# 12. Troubleshooting

No sound, or "Questo PC non ha schede audio." :: check that a sound output exists and is not muted; under Linux check the output chosen in your sound settings (PulseAudio or PipeWire).

The radio transmits but the first digits are lost :: raise **Tx Delay** (most radios need 100 to 300 ms; some repeaters more).

The board does not react to the tones :: raise **Digit duration** and **Interdigit duration** (for example 80 and 60 ms), check the audio level into the radio, and check that the sequence matches a command memory.

The transmitter is not keyed :: tick PTT **Enable** (it unticks programming), check the port number and the RTS wiring (chapter 5); point at **PTT Comm** to see which device the number means (chapter 6).

The Listen window shows no digits or Morse :: watch **Level** and the spectrum while a signal arrives. No level: wrong input, or the input is muted in the system's sound settings. A level but no text: the signal may be too weak against the noise or distorted by a too-high level; aim for -30 to -6 dBFS.

"Please enter a valid Comm number." :: the port number must be 1 to 16.

"Not able to open COM3" :: the reason follows in the same message: not plugged in, in use by another program, or permission denied with the group to join (chapter 6). `keytoner-cli ports` shows what each number is bound to.

READ or PROGRAM fails :: see the texts of chapter 7. Untick and tick **Enable** again, and check that PTT is not enabled on the same port.

"Command #.. is equal to Command #.." :: two memories hold the same sequence, hidden commands 13 to 15 included; change one of them.

"Manca il file di help Manuale_Keytoner2.rtf" :: the manual was not found in the current folder, beside the program or in the installed data folder. Copy it beside the program.

"Unable to load data file ..." at start :: the last configuration file was moved, deleted or lives on a drive that is not connected. The program keeps it as the last file, so it is loaded again once it is back; loading or saving another file replaces it.

The settings are not kept :: the settings file is written when the window closes; make sure the program's folder, or `~/.config/Keytoner` for an installed copy, is writable.
"""

FONTS = r"{\fonttbl{\f0\fswiss\fcharset0 Sans Serif;}{\f1\fmodern\fcharset0 Monospace;}}"
COLOURS = r"{\colortbl;\red0\green51\blue102;\red64\green64\blue64;\red128\green0\blue0;}"
BODY = r"\pard\plain\f0\fs20\sa100 "


def escape(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 128:
            out.append(ch)
        else:
            code = ord(ch)
            out.append("\\u%d?" % (code - 65536 if code > 32767 else code))
    return "".join(out)


def inline(text):
    """Escapes the text and turns **bold** and `code` into formatting groups."""
    parts = re.split(r"(\*\*[^*]+\*\*|`[^`]+`)", text)
    out = []
    for part in parts:
        if part.startswith("**") and part.endswith("**") and len(part) > 4:
            out.append(r"{\b " + escape(part[2:-2]) + "}")
        elif part.startswith("`") and part.endswith("`") and len(part) > 2:
            out.append(r"{\f1\cf3 " + escape(part[1:-1]) + "}")
        else:
            out.append(escape(part))
    return "".join(out)


def picture(path):
    """A PNG as an RTF picture, its goal size its own at 96 dots per inch (15 twips a pixel)."""
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with open(os.path.join(root, path), "rb") as image:
        png = image.read()
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(path + " is not a PNG file")
    width, height = struct.unpack(">II", png[16:24])
    data = png.hex()
    lines = "\n".join(data[i:i + 128] for i in range(0, len(data), 128))
    return (r"\pard\plain\qc\sb120\sa120{\pict\pngblip\picw%d\pich%d\picwgoal%d\pichgoal%d" "\n"
            % (width, height, width * 15, height * 15) + lines + "\n}\\par\n")


def block(lines):
    first = lines[0]
    if first.startswith("! "):
        return picture(first[2:].strip())
    if first.startswith("= "):
        return r"\pard\plain\qc\sb120\sa240\f0\fs36\b\cf1 " + escape(first[2:]) + r"\par" + "\n"
    if first.startswith("## "):
        return r"\pard\plain\sb200\sa80\f0\fs24\b\cf1 " + escape(first[3:]) + r"\par" + "\n"
    if first.startswith("# "):
        return r"\pard\plain\sb360\sa120\f0\fs30\b\cf1 " + escape(first[2:]) + r"\par" + "\n"
    if first.startswith("- "):
        items = []
        for line in lines:
            if line.startswith("- "):
                items.append(line[2:])
            else:
                items[-1] += " " + line.strip()
        return "".join(r"\pard\plain\li360\fi-240\tx360\sa60\f0\fs20 \bullet\tab " + inline(item)
                       + r"\par" + "\n" for item in items)
    out = []
    text = []
    for line in lines:
        if line.startswith("> "):
            if text:
                out.append(paragraph(" ".join(text)))
                text = []
            out.append(r"\pard\plain\li480\sa0\f1\fs18\cf2 " + escape(line[2:]) + r"\par" + "\n")
        else:
            text.append(line.strip())
    if text:
        out.append(paragraph(" ".join(text)))
    if out and out[-1].startswith(r"\pard\plain\li480"):
        out.append(r"\pard\plain\sa0\fs8\par" + "\n")
    return "".join(out)


def paragraph(text):
    if " :: " in text:
        term, description = text.split(" :: ", 1)
        return (r"\pard\plain\li360\fi-360\sa100\f0\fs20 {\b " + inline(term) + r"} \endash  "
                + inline(description) + r"\par" + "\n")
    return BODY + inline(text) + r"\par" + "\n"


def main():
    blocks = [b.strip("\n").split("\n") for b in MANUAL.strip().split("\n\n")]
    rtf = [r"{\rtf1\ansi\ansicpg1252\deff0\uc1", FONTS, COLOURS,
           r"{\info{\title Keytoner 2 User Manual}}", "\n"]
    rtf += [block(lines) for lines in blocks if lines and lines[0]]
    rtf.append("}\n")
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Manuale_Keytoner2.rtf")
    with open(target, "w", encoding="ascii", newline="\r\n") as out:
        out.write("".join(rtf))


if __name__ == "__main__":
    main()
