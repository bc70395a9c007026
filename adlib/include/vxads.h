#ifndef VXADS_H
#define VXADS_H

/*
 * The advertising library's C interface. Every string passed in or returned is
 * zero-terminated; a result of 0 is success; a location handle of -1 means none.
 * Strings returned by the library stay valid until the next call of the same function.
 */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define CT_CALL __stdcall
#ifdef VXADS_BUILDING
#define CT_API __declspec(dllexport)
#else
#define CT_API __declspec(dllimport)
#endif
#else
#define CT_CALL
#define CT_API __attribute__((visibility("default")))
#endif

/* Image kinds passed to the image callback. */
#define CT_IMAGE_BMZ 4

/* Location status bits. */
#define CT_AL_VISIBLE 1

/* Display results reported with CT_MgmtALDisplayResult. */
#define CT_DISPLAY_ALL 0
#define CT_DISPLAY_PART 1
#define CT_DISPLAY_NONE 3

/* Bits of CT_ALCallbacks.flags telling which callbacks are set. */
#define CT_CB_IMAGE 0x01
#define CT_CB_CLICK 0x10

/*
 * Image callback: (location, event, image, kind, width, height, ad number, reserved,
 * context). The image is the library's compressed picture; CT_UtilReadBMZ unpacks it.
 */
typedef int(CT_CALL *CT_ImageCallback)(int, int, void *, int, int, int, int, int, void *);
/* Click callback: (event, location, context). */
typedef int(CT_CALL *CT_ClickCallback)(int, int, void *);

/*
 * The callbacks record, zeroed by the caller before it fills it in. It is a size and
 * flags followed by twelve pointer-sized slots, so that with 4-byte pointers it is the
 * 56-byte record with the image callback at offset 8, its context at 12, the click
 * callback at 40 and its context at 44; with 8-byte pointers the same slots are 8 bytes
 * wide (104 bytes in all). The size field holds sizeof(CT_ALCallbacks).
 */
typedef struct CT_ALCallbacks {
    unsigned int size;
    unsigned int flags;
    CT_ImageCallback image;
    void *imageContext;
    void *reserved1[6];
    CT_ClickCallback click;
    void *clickContext;
    void *reserved2[2];
} CT_ALCallbacks;

/*
 * A packed bitmap as returned by CT_UtilReadBMZ: a 40-byte header (width at offset 4,
 * height at 8, bits per pixel at 14, colours used at 32 with 0 meaning all), the colour
 * table of 4-byte blue, green, red, 0 entries, then the rows of pixels, bottom row
 * first, each padded to 4 bytes.
 */

CT_API int CT_CALL CT_PushInit(const char *application, const char *key, int version);
CT_API const char *CT_CALL CT_PushGetErrorString(int code);
CT_API const char *CT_CALL CT_PushGetLibError(void);
CT_API int CT_CALL CT_PushShutdown(void);

CT_API int CT_CALL CT_MgmtInit(const char *application, const char *key, int version);
CT_API const char *CT_CALL CT_MgmtGetErrorString(int code);
CT_API const char *CT_CALL CT_MgmtGetLibError(void);
CT_API int CT_CALL CT_MgmtShutdown(void);

/* Creates an ad location for the given ad space ids; returns its handle or -1. */
CT_API int CT_CALL CT_MgmtCreateAL3(const int *ids, int idCount, unsigned char visible, int sizeClass, int reserved1,
                                    int reserved2);
CT_API int CT_CALL CT_MgmtSetALCallbacks(int location, const CT_ALCallbacks *callbacks);
/* The location's status bits, or -1 for an unknown location. */
CT_API int CT_CALL CT_MgmtGetALStatus(int location);
CT_API int CT_CALL CT_MgmtSetALStatus(int location, int status);
CT_API int CT_CALL CT_MgmtDestroyAL(int location);
/* Runs the library's work: call it regularly (every 50 ms) on the thread that
   receives the callbacks. */
CT_API int CT_CALL CT_MgmtProgress(void);
CT_API int CT_CALL CT_MgmtALClick(int location);
CT_API int CT_CALL CT_MgmtALDisplayResult(int location, int result);
/* The address the location's current ad leads to, or null. */
CT_API const char *CT_CALL CT_MgmtGetAdClickThroughURL(int location);
/* The last display result reported for the location and how many ads were shown in
   full or in part; -1 for an unknown location. */
CT_API int CT_CALL CT_MgmtGetALDisplayResult(int location);
CT_API int CT_CALL CT_MgmtGetALImpressions(int location);

/* Unpacks a picture handed to the image callback into a packed bitmap (free it with
   CT_UtilFreeBMZ); null when the picture is damaged. */
CT_API void *CT_CALL CT_UtilReadBMZ(const void *image);
CT_API void CT_CALL CT_UtilFreeBMZ(void *bitmap);

#ifdef __cplusplus
}
#endif

#endif
