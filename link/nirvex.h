// SPDX-License-Identifier: MIT
/*
 * nirvex: the keyboard link of Veltrane.
 *
 * Finds the programmable keyboard among the HID devices and moves blocks of
 * its memory four bytes at a time with 7-byte HID feature reports.
 *
 * Every call opens the keyboard afresh and closes it before returning. The
 * library keeps only its 64-byte identification text between calls.
 *
 * Calls may come from several threads at once, one keyboard per thread (see
 * "Several keyboards" below). What the library keeps between calls (the
 * identification text, the access problem, a thread's own message route) is
 * kept per thread: a program that calls from one thread sees one library.
 *
 * Environment, read at every call:
 *   NIRVEX_DEVICE  unset, empty or "hidapi": real keyboards through hidraw;
 *                  "sim:PATH[,option=value...]": the simulated keyboard kept in PATH;
 *                  "simdir:DIR[,option=value...]": one simulated keyboard per
 *                  DIR/NAME.sim file, plugged in while the file exists (an
 *                  empty file is an erased keyboard); the options apply to
 *                  all, and a file DIR/NAME.sim.options adds a keyboard's own.
 *   NIRVEX_TRACE   a file that receives one line per feature report
 *                  ("set" or "get" and the 7 bytes in lower-case hex), and
 *                  lines beginning "# " that say what the reports after them
 *                  are for (ProgramChangedWords: the read, the words written,
 *                  the read-back).
 */
#ifndef NIRVEX_H_
#define NIRVEX_H_

#define NIRVEX_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/** The matrix switch: a control write of 00 00 00 and one of these bytes at
    NIRVEX_MATRIX_SWITCH turns the keyboard's key matrix mode on or off. */
enum NirvexMatrixSwitch {
  NIRVEX_MATRIX_SWITCH = 0xFF00,
  NIRVEX_MATRIX_ON = 0xB1,
  NIRVEX_MATRIX_OFF = 0xC2
};

/** Called exactly 100 times per block transfer; the result is ignored. */
typedef int (*NirvexProgress)(int step);

/** Receives every message box the library shows: text, caption "nirvex". */
typedef void (*NirvexMessageHandler)(const char* text, const char* caption, void* context);

/** @brief Look for the keyboard and read its identification text.

    @param text A buffer of at least 64 bytes. Receives the keyboard's product
        string (the low 8 bits of each of its first 63 characters, then a NUL),
        or "Error 1" (a keyboard without input or output reports), "Error 2"
        (its product string could not be read) or "Not found". May be NULL:
        the keyboard is looked for all the same and nothing is written.

    @returns 1 when a keyboard passing the identity test was opened (its text
        may still be "Error 1" or "Error 2"), 0 when none was found.
*/
NIRVEX_EXPORT int DetectKeyboard(char* text);

/** @brief Write a block of the keyboard's memory, or send one control write.

    Block (address + count <= 0x8000, count a multiple of 4): buffer[address + k]
    is written to keyboard address address + k, one report per 4 bytes, and
    @p progress is called 100 times; "Done" is shown after the last report.
    A refused report shows "Setfeature returned: %d %s\n" and ends the block.

    Control write (address 0xFF00..0xFFFF, count at least 4): one report with
    buffer[0..3]; no progress calls, no "Done". Data 00 00 00 B1 at 0xFF00
    switches the key matrix on, 00 00 00 C2 off (NirvexMatrixSwitch).

    @param buffer The bytes to send, indexed by keyboard address (a control
        write takes buffer[0..3]). May be NULL only for a block with count 0.
    @param address Start address.
    @param count Number of bytes.
    @param progress Callback, or NULL.

    @returns 1 when every report was accepted; 0 when no keyboard was found,
        a report was refused, or the address range is refused (0x8000..0xFEFF,
        a block crossing 0x8000, above 0xFFFF, a count not a multiple of 4).
        A refused range sends nothing and calls nothing. "Done" is shown only
        after the keyboard has been closed again: a close that fails after a
        complete block shows "CloseHandle failed %d\n" instead and still
        returns 1 (the keyboard holds the whole block); NirvexLastStatus()
        then tells NIRVEX_CLOSE_FAILED.
*/
NIRVEX_EXPORT int ProgramFirmWare(const unsigned char* buffer, unsigned int address,
                                  unsigned int count, NirvexProgress progress);

/** @brief Read a block of the keyboard's memory.

    One read request per 4 bytes; the 4 bytes at address + k land in
    buffer[address + k]. @p progress is called 100 times. After a failed
    report the buffer keeps its earlier contents from that address on, and
    "Set or GetFeature failed " is shown.

    @param buffer Receives the bytes, indexed by keyboard address; at least
        address + count bytes long. May be NULL only when count is 0.
    @param address Start address; address + count must not exceed 0x7F00
        (a read request at 0x7F00..0x7FFF would have the form of a control write).
    @param count Number of bytes, a multiple of 4.
    @param progress Callback, or NULL.

    @returns 1 only when all count bytes were read and the device closed
        again; 0 when no keyboard was found, a report failed, the closing
        failed or the range is refused (which sends nothing and calls nothing).
*/
NIRVEX_EXPORT int ReadFirmWare(unsigned char* buffer, unsigned int address, unsigned int count,
                               NirvexProgress progress);

/** Why ProgramChangedWords sent every word of the block. */
enum NirvexFullDownload {
  NIRVEX_SENT_CHANGED = 0, /* only the words that differed were sent */
  NIRVEX_FULL_UNREAD = 1,  /* the keyboard could not be read first */
  NIRVEX_FULL_MANY = 2     /* more than half of the block's words differed */
};

/** What reading back after ProgramChangedWords's writes found. */
enum NirvexVerify {
  NIRVEX_VERIFY_SAME = 0,    /* the keyboard holds the whole block */
  NIRVEX_VERIFY_DIFFERS = 1, /* it holds other bytes; see badBytes */
  NIRVEX_VERIFY_UNREAD = 2,  /* a read-back report failed: nothing is known */
  NIRVEX_VERIFY_NONE = 3     /* nothing was read back: no keyboard, or the range refused */
};

/** What ProgramChangedWords did: nine 4-byte unsigned integers, 36 bytes.
    The first eight are those of the library's first release (32 bytes); the
    ninth was added after them, so a program must be built with this header. */
typedef struct NirvexChangedWords {
  unsigned int words;        /* bytes 0..3: words in the block, count / 4 */
  unsigned int toSend;       /* 4..7: words to write: those that differed, or all (see full) */
  unsigned int sent;         /* 8..11: write reports the keyboard accepted; below toSend
                                when one was refused */
  unsigned int full;         /* 12..15: a NirvexFullDownload value */
  unsigned int verify;       /* 16..19: a NirvexVerify value */
  unsigned int badBytes;     /* 20..23: NIRVEX_VERIFY_DIFFERS: bytes of the block that differ */
  unsigned int firstBad;     /* 24..27: NIRVEX_VERIFY_DIFFERS: keyboard address of the first */
  unsigned int firstBadRead; /* 28..31: NIRVEX_VERIFY_DIFFERS: the byte read there, 0..255 */
  unsigned int differed;     /* 32..35: words of the block that the first read found to differ
                                from the buffer (equal to toSend unless full is
                                NIRVEX_FULL_MANY); 0 for NIRVEX_FULL_UNREAD: nothing compared */
} NirvexChangedWords;

/** @brief Write a block by sending only the words the keyboard does not hold.

    In one open of the keyboard: reads the block (read requests as ReadFirmWare
    sends them, unpaced), compares it with the buffer four bytes at a time and
    sends write reports (as ProgramFirmWare's, with its 16 ms pacing per report
    for the firmware that needs it) only for the words that differ, then reads
    those words back to verify. When the block cannot be read, or more than
    half of its words differ, every word is written and every word read back.
    A refused write shows "Setfeature returned: %d %s\n" and ends the writes;
    the read-back still follows, so that result->firstBad tells where the
    keyboard differs. @p progress is called 100 times: the first read takes
    the calls up to 50, the writes and the read-back the rest. After a
    verified block the device is closed and "Done" is shown; a close that
    fails shows "CloseHandle failed %d\n" instead.

    @param buffer The bytes to write, indexed by keyboard address. May be NULL
        only when count is 0.
    @param address Start address; address + count must not exceed 0x7F00 (the
        block is read), and count must be a multiple of 4. Control writes are
        not taken: use ProgramFirmWare.
    @param count Number of bytes.
    @param progress Callback, or NULL.
    @param result Receives what was done (may be NULL); filled in by every call.

    @returns 1 when the keyboard was found to hold the whole block afterwards
        and was closed again; 0 when no keyboard was found, the range is
        refused (nothing is sent, nothing called), a write or read-back report
        failed, the read-back found other bytes, or the close failed (the
        result record then tells a verified block all the same).
*/
NIRVEX_EXPORT int ProgramChangedWords(const unsigned char* buffer, unsigned int address,
                                      unsigned int count, NirvexProgress progress,
                                      NirvexChangedWords* result);

/** @brief Route the library's message boxes to the program.

    @param handler Called with the text, the caption and @p context for every
        message; NULL restores the default, which writes "caption: text" to
        standard error.
    @param context Passed back to the handler unchanged.
*/
NIRVEX_EXPORT void NirvexSetMessageHandler(NirvexMessageHandler handler, void* context);

/** @brief Route the calling thread's message boxes to its own handler.

    @param handler Called on this thread, instead of the handler of
        NirvexSetMessageHandler, for every message of this thread's calls;
        NULL returns this thread to the program's handler.
    @param context Passed back to the handler unchanged.
*/
NIRVEX_EXPORT void NirvexSetThreadMessageHandler(NirvexMessageHandler handler, void* context);

/** @brief Whether the calling thread's last call met a keyboard that this user may not open.

    @returns 1 when, during the last call's search, a device with a keyboard's
        vendor and product could not be opened for lack of permission (the
        udev rule is missing); 0 otherwise. The other results are unaffected.
*/
NIRVEX_EXPORT int NirvexLastOpenDenied(void);

/** @brief What kept the calling thread's last call from opening a keyboard, and how to fix it.

    @returns A NUL-terminated text of at most 511 characters held by the
        library until this thread's next call: the device and the fix (the udev rule
        the package or "sudo ./dev udev" installs, then a re-plug) when
        NirvexLastOpenDenied() is 1; the empty text otherwise.
*/
NIRVEX_EXPORT const char* NirvexAccessProblem(void);

/** The outcome of the calling thread's last ProgramFirmWare, ReadFirmWare or
    DetectKeyboard (and of every later export that opens a keyboard). */
enum NirvexStatus {
  NIRVEX_OK = 0,            /* the call did all it was asked and closed the keyboard */
  NIRVEX_NO_KEYBOARD = 1,   /* no keyboard was found (or it could not be opened) */
  NIRVEX_RANGE_REFUSED = 2, /* the address range was refused; nothing was sent */
  NIRVEX_REPORT_FAILED = 3, /* a feature report was refused or failed */
  NIRVEX_CLOSE_FAILED = 4,  /* every report went through, but closing the keyboard failed */
  NIRVEX_VERIFY_FAILED = 5, /* ProgramChangedWords, NirvexProgramAndVerifyKeyboard: the
                               read-back found other bytes */
  NIRVEX_BUSY = 6           /* NirvexLockKeyboard, NirvexProgramAndVerifyKeyboard: another
                               program holds the keyboard's lock */
};

/** @brief The NirvexStatus of the calling thread's last call.

    Kept per thread: calls made at the same time on other threads (one
    keyboard each) do not change it. The other exports' results are
    unaffected. NIRVEX_OK before the thread's first call.
*/
NIRVEX_EXPORT int NirvexLastStatus(void);
/* Several keyboards.
 *
 * A production line programs several keyboards at once, one thread per
 * keyboard. NirvexListKeyboards names every keyboard present; the three calls
 * after it work on the one keyboard so named. Each call opens that keyboard
 * and closes it before returning, and shows no "Done": failures reach the
 * message route as those of ProgramFirmWare and ReadFirmWare do. */

#define NIRVEX_PATH_SIZE 256
#define NIRVEX_SERIAL_SIZE 128
#define NIRVEX_LOCATION_SIZE 64
#define NIRVEX_TEXT_SIZE 64

/** One keyboard as NirvexListKeyboards reports it: 516 bytes, the caller's.
    Each text is 8-bit and NUL-terminated within its field.

    | Bytes    | Field    | Content                                              |
    |----------|----------|------------------------------------------------------|
    | 0..255   | path     | the device path that names the keyboard in the calls |
    |          |          | below, for as long as it stays plugged in: the       |
    |          |          | hidraw node ("/dev/hidraw3"), or a simulated         |
    |          |          | keyboard's file; a longer path is not listed         |
    | 256..383 | serial   | the USB serial number string, the low byte of each   |
    |          |          | of its first 127 characters; "" when it has none     |
    | 384..447 | location | the USB port, bus then port chain ("1-1.4"); ""      |
    |          |          | when unknown (simulated keyboards)                   |
    | 448..511 | text     | the identification text, as DetectKeyboard gives it  |
    | 512..513 | vendor   | USB vendor ID, native byte order                     |
    | 514..515 | product  | USB product ID, native byte order                    |
*/
typedef struct NirvexKeyboard {
  char path[NIRVEX_PATH_SIZE];
  char serial[NIRVEX_SERIAL_SIZE];
  char location[NIRVEX_LOCATION_SIZE];
  char text[NIRVEX_TEXT_SIZE];
  unsigned short vendor;
  unsigned short product;
} NirvexKeyboard;

/** Called exactly 100 times per block transfer with the steps 0..99, on the calling thread. */
typedef void (*NirvexStep)(int step, void* context);

/** @brief List every keyboard present that passes the identity test.

    Each is opened, read and closed again, in the order of the devices.

    @param list Receives the first @p capacity keyboards; may be NULL when
        @p capacity is 0.
    @param capacity Entries available in @p list.

    @returns The number of keyboards present, which may exceed @p capacity
        (call again with more room). 0 when there is none; then
        NirvexLastOpenDenied tells whether one could not be opened.
*/
NIRVEX_EXPORT int NirvexListKeyboards(NirvexKeyboard* list, int capacity);

/** @brief ProgramFirmWare on the keyboard named by @p path.

    Bytes, ranges, reports, pacing and failure messages as ProgramFirmWare,
    without "Done".

    @param path A path from NirvexListKeyboards; NULL or "" is refused.
    @param step Called as NirvexStep says, with @p context; may be NULL.

    @returns 1 when every report was accepted; 0 when that keyboard is not
        there (unplugged, or no keyboard), a report was refused, or the
        range or the path is refused.
*/
NIRVEX_EXPORT int NirvexProgramKeyboard(const char* path, const unsigned char* buffer,
                                        unsigned int address, unsigned int count, NirvexStep step,
                                        void* context);

/** @brief ReadFirmWare on the keyboard named by @p path.

    @returns 1 only when all count bytes were read into buffer[address ..]
        and the device closed again; 0 otherwise, as NirvexProgramKeyboard.
*/
NIRVEX_EXPORT int NirvexReadKeyboard(const char* path, unsigned char* buffer, unsigned int address,
                                     unsigned int count, NirvexStep step, void* context);

/** @brief Read a block back from the keyboard named by @p path and compare it.

    Reads as NirvexReadKeyboard into memory of its own and compares keyboard
    address address + k with expected[address + k], for k below count.

    @param expected The bytes that should be there, indexed by keyboard address.
    @param differences Receives the number of bytes that differ, or
        0xFFFFFFFF when the block could not be read; may be NULL.
    @param firstDifference Receives the keyboard address of the first byte
        that differs, address + count when none does; may be NULL.

    @returns 1 when the whole block was read and equals @p expected; else 0.
*/
NIRVEX_EXPORT int NirvexVerifyKeyboard(const char* path, const unsigned char* expected,
                                       unsigned int address, unsigned int count, NirvexStep step,
                                       void* context, unsigned int* differences,
                                       unsigned int* firstDifference);

/* One keyboard, one program.
 *
 * While a program works on a keyboard it may hold the keyboard's lock: an
 * exclusive flock on its hidraw node (a simulated keyboard's PATH.lock).
 * Every transfer takes that lock at its first report and waits for it, so a
 * download never lands in a keyboard that another program is working on; a
 * production line station takes it without waiting and leaves a busy keyboard
 * alone. The thread that holds a keyboard's lock runs the transfers on it as
 * usual (its holds are counted). The kernel drops the lock of a program that
 * dies. */

/** @brief Take the lock of the keyboard named by @p path for the calling thread.

    Does not wait. Taken again by the thread that holds it, the holds are
    counted; each needs its NirvexUnlockKeyboard.

    @returns 1 when this thread now holds the lock; 0 when another program (or
        thread) holds it (NirvexLastStatus() is NIRVEX_BUSY), or it could not
        be opened, as for an unplugged keyboard (NIRVEX_NO_KEYBOARD). NULL or
        "" is refused (NIRVEX_NO_KEYBOARD).
*/
NIRVEX_EXPORT int NirvexLockKeyboard(const char* path);

/** @brief Give back one hold of the calling thread on the keyboard's lock.

    Nothing happens for a lock this thread does not hold.
*/
NIRVEX_EXPORT void NirvexUnlockKeyboard(const char* path);

/** What NirvexProgramAndVerifyKeyboard did: five 4-byte unsigned integers, 20 bytes.

    | Bytes  | Field        | Content                                                  |
    |--------|--------------|----------------------------------------------------------|
    | 0..3   | sent         | write reports the keyboard accepted; count / 4 when all  |
    | 4..7   | verify       | a NirvexVerify value: SAME, DIFFERS, UNREAD (a read-back |
    |        |              | report failed), NONE (nothing read back: a refused      |
    |        |              | write, no keyboard, the lock busy, the range refused)   |
    | 8..11  | badBytes     | DIFFERS: bytes of the block that differ                  |
    | 12..15 | firstBad     | DIFFERS: keyboard address of the first of them           |
    | 16..19 | firstBadRead | DIFFERS: the byte read there, 0..255                     |
*/
typedef struct NirvexProgramVerify {
  unsigned int sent;
  unsigned int verify;
  unsigned int badBytes;
  unsigned int firstBad;
  unsigned int firstBadRead;
} NirvexProgramVerify;

/** @brief Program a block into the keyboard named by @p path and read it back, in one open.

    Takes the keyboard's lock without waiting (a hold of this thread's counts),
    opens the keyboard once, sends the write reports of NirvexProgramKeyboard
    (with its pacing), and when every one was accepted reads the block back
    with the read requests of NirvexReadKeyboard and compares it; then closes
    the keyboard and gives the lock back. Nothing another program sends can
    land between the writes and the read-back. @p step is called 100 times for
    the writes (steps 0..99), then, when they were all accepted, 100 times for
    the read-back (steps 0..99 again). A refused write shows "Setfeature
    returned: %d %s\n"; a failed read-back "Set or GetFeature failed "; a
    failed close "CloseHandle failed %d\n". No "Done".

    @param path A path from NirvexListKeyboards; NULL or "" is refused.
    @param buffer The bytes to write, indexed by keyboard address.
    @param address Start address; address + count must not exceed 0x7F00 (the
        block is read back), and count must be a multiple of 4. A refused
        range sends nothing and calls nothing (NIRVEX_RANGE_REFUSED).
    @param count Number of bytes.
    @param step Called as above with @p context; may be NULL.
    @param result Receives what was done (may be NULL); filled in by every call.

    @returns 1 when every write was accepted, the block read back equals
        @p buffer and the keyboard was closed again; 0 otherwise.
        NirvexLastStatus() tells why: NIRVEX_BUSY, NIRVEX_NO_KEYBOARD,
        NIRVEX_RANGE_REFUSED, NIRVEX_REPORT_FAILED (a write or read-back
        report), NIRVEX_VERIFY_FAILED, NIRVEX_CLOSE_FAILED.
*/
NIRVEX_EXPORT int NirvexProgramAndVerifyKeyboard(const char* path, const unsigned char* buffer,
                                                 unsigned int address, unsigned int count,
                                                 NirvexStep step, void* context,
                                                 NirvexProgramVerify* result);

/** @brief What keeps the keyboards of NIRVEX_DEVICE from being looked for at all.

    @returns A NUL-terminated text held by the library until this thread's
        next call of it: an unknown device or option, or a "simdir:" directory
        that does not exist or is not a directory (NirvexListKeyboards would
        find nothing there, for ever); the empty text when the setting is
        usable.
*/
NIRVEX_EXPORT const char* NirvexDeviceProblem(void);

#ifdef __cplusplus
}
#endif

#endif /* NIRVEX_H_ */
