#pragma once

// Foundation as the macOS desktop uses it, declared from Apple's published
// reference for the syntax check only.

#include <CoreFoundation/CoreFoundation.h>
#include <objc/NSObject.h>

typedef unsigned long NSUInteger;
typedef long NSInteger;
typedef double NSTimeInterval;

#pragma clang assume_nonnull begin

typedef struct {
    unsigned long state;
    id __unsafe_unretained _Nullable* _Nullable itemsPtr;
    unsigned long* _Nullable mutationsPtr;
    unsigned long extra[5];
} NSFastEnumerationState;

@protocol NSFastEnumeration
- (NSUInteger)countByEnumeratingWithState:(NSFastEnumerationState*)state
                                  objects:(id __unsafe_unretained _Nullable[_Nonnull])buffer
                                    count:(NSUInteger)len;
@end

@interface NSString : NSObject
@property(readonly) NSUInteger length;
@end

@interface NSArray<__covariant ObjectType> : NSObject <NSFastEnumeration>
@property(readonly) NSUInteger count;
- (ObjectType)objectAtIndex:(NSUInteger)index;
@end

@interface NSError : NSObject
@property(readonly, copy) NSString* localizedDescription;
@end

@interface NSURL : NSObject
+ (NSURL*)fileURLWithPath:(NSString*)path;
@end

@interface NSFileManager : NSObject
@property(class, readonly, strong) NSFileManager* defaultManager;
- (BOOL)fileExistsAtPath:(NSString*)path;
- (NSString*)stringWithFileSystemRepresentation:(const char*)str length:(NSUInteger)len;
@end

#pragma clang assume_nonnull end
