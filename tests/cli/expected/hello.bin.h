#ifndef __HELLO_BIN_H__
#define __HELLO_BIN_H__
#pragma once
//********************************************************************
// 			   File: 			
// 			   Created:		
// 			   Last Modify:	
// 			   Author:			Vandrel
// 			   More Author:	
// 			   Special Thanks:	
// 			   Abstract:		
// 			   
// 			   Note:
//*********************************************************************
#define IDT_HELLO 1//Hi
#define IDT_BYE 5//OK


#endif //module_headers/hello.bin.h
