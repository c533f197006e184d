#pragma once

// Dispatch signal sources on the global queue and semaphores, declared from Apple's published
// reference for the syntax check only. In Objective-C, dispatch objects are
// Objective-C objects, so ARC owns them.

#include <stdint.h>

#ifdef __OBJC__
#include <objc/NSObject.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum : unsigned int {
    QOS_CLASS_USER_INTERACTIVE = 0x21,
    QOS_CLASS_USER_INITIATED = 0x19,
    QOS_CLASS_DEFAULT = 0x15,
    QOS_CLASS_UTILITY = 0x11,
    QOS_CLASS_BACKGROUND = 0x09,
    QOS_CLASS_UNSPECIFIED = 0x00,
} qos_class_t;

#ifdef __OBJC__
@protocol OS_dispatch_object <NSObject>
@end
@protocol OS_dispatch_queue <OS_dispatch_object>
@end
@protocol OS_dispatch_queue_global <OS_dispatch_queue>
@end
@protocol OS_dispatch_source <OS_dispatch_object>
@end
@protocol OS_dispatch_semaphore <OS_dispatch_object>
@end
typedef NSObject<OS_dispatch_object>* dispatch_object_t;
typedef NSObject<OS_dispatch_queue>* dispatch_queue_t;
typedef NSObject<OS_dispatch_queue_global>* dispatch_queue_global_t;
typedef NSObject<OS_dispatch_source>* dispatch_source_t;
typedef NSObject<OS_dispatch_semaphore>* dispatch_semaphore_t;
#define DISPATCH_RETURNS_RETAINED __attribute__((ns_returns_retained))
#else
typedef struct dispatch_object_s* dispatch_object_t;
typedef struct dispatch_queue_s* dispatch_queue_t;
typedef struct dispatch_queue_s* dispatch_queue_global_t;
typedef struct dispatch_source_s* dispatch_source_t;
typedef struct dispatch_semaphore_s* dispatch_semaphore_t;
#define DISPATCH_RETURNS_RETAINED
#endif

#ifdef __BLOCKS__
typedef void (^dispatch_block_t)(void);
#endif

typedef const struct dispatch_source_type_s* dispatch_source_type_t;
extern const struct dispatch_source_type_s _dispatch_source_type_signal;
#define DISPATCH_SOURCE_TYPE_SIGNAL (&_dispatch_source_type_signal)

dispatch_queue_global_t dispatch_get_global_queue(intptr_t identifier, uintptr_t flags);
DISPATCH_RETURNS_RETAINED dispatch_source_t dispatch_source_create(dispatch_source_type_t type,
                                                                   uintptr_t handle, uintptr_t mask,
                                                                   dispatch_queue_t queue);
#ifdef __BLOCKS__
void dispatch_source_set_event_handler(dispatch_source_t source, dispatch_block_t handler);
#endif
void dispatch_resume(dispatch_object_t object);

typedef uint64_t dispatch_time_t;
#define DISPATCH_TIME_NOW (0ull)
#define NSEC_PER_SEC 1000000000ull
dispatch_time_t dispatch_time(dispatch_time_t when, int64_t delta);

DISPATCH_RETURNS_RETAINED dispatch_semaphore_t dispatch_semaphore_create(intptr_t value);
intptr_t dispatch_semaphore_wait(dispatch_semaphore_t dsema, dispatch_time_t timeout);
intptr_t dispatch_semaphore_signal(dispatch_semaphore_t dsema);

#ifdef __cplusplus
}
#endif
